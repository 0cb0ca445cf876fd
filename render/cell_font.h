// The font of a picture's cells.
#pragma once

#include <QFont>

#include "core/layout_settings.h"

namespace mirotabe {

// The font whose full-width character is `cellSize` pixels wide: the
// pane's, scaled to fit where its em is not one full-width advance.
QFont FontForCell(int cellSize);

// The advance of each half-width Latin character in the cells' font, in
// thousandths of a full-width cell: what sideways Latin is fitted by.
LatinAdvances LatinAdvancesOfCellFont();

}  // namespace mirotabe
