#include "ui/pane_font.h"

#include "render/pane_font_families.h"

namespace mirotabe {

QFont PaneFont() {
  QFont font(PaneFontFamilies().front(), 9, QFont::Normal);
  font.setFamilies(PaneFontFamilies());
  font.setStyleHint(QFont::Monospace);
  font.setFixedPitch(true);
  return font;
}

}  // namespace mirotabe
