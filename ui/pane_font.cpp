#include "ui/pane_font.h"

#include "render/pane_font_families.h"

namespace mirotabe {

QFont PaneFont(int pointSize) {
  QFont font(PaneFontFamilies().front(), pointSize, QFont::Normal);
  font.setFamilies(PaneFontFamilies());
  font.setStyleHint(QFont::Monospace);
  font.setFixedPitch(true);
  return font;
}

}  // namespace mirotabe
