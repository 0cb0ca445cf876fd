#include "ui/pane_font.h"

#include <QStringList>

namespace mirotabe {

QFont PaneFont() {
  QFont font(QStringLiteral("ＭＳ ゴシック"), 9, QFont::Normal);
  font.setFamilies({QStringLiteral("ＭＳ ゴシック"), QStringLiteral("IPAGothic"),
                    QStringLiteral("Noto Sans Mono CJK JP"), QStringLiteral("monospace")});
  font.setStyleHint(QFont::Monospace);
  font.setFixedPitch(true);
  return font;
}

}  // namespace mirotabe
