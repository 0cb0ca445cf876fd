// The font of a picture's cells.
#pragma once

#include <QFont>
#include <QStringList>

#include "core/layout_settings.h"
#include "render/pane_font_families.h"

namespace mirotabe {

// The font of `families` (the pane's unless given) whose full-width
// character is `cellSize` pixels wide, scaled to fit where its em is not
// one full-width advance.
QFont FontForCell(int cellSize, const QStringList& families = PaneFontFamilies());

// The advance of each half-width Latin character in the cells' font, in
// thousandths of a full-width cell: what sideways Latin is fitted by.
LatinAdvances LatinAdvancesOfCellFont();

}  // namespace mirotabe
