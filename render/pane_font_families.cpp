#include "render/pane_font_families.h"

namespace mirotabe {

const QStringList& PaneFontFamilies() {
  static const QStringList families{QStringLiteral("ＭＳ ゴシック"), QStringLiteral("IPAGothic"),
                                    QStringLiteral("Noto Sans Mono CJK JP"),
                                    QStringLiteral("monospace")};
  return families;
}

}  // namespace mirotabe
