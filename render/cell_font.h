// The font of a picture's cells, and the size of a cell it makes.
#pragma once

#include <QFont>

#include "core/drawing_plan.h"

namespace mirotabe {

// The font whose full-width character is `cellSize` pixels wide: the
// pane's, scaled to fit where its em is not one full-width advance.
QFont FontForCell(int cellSize);

// A cell's size in pixels under a cell size: its width is the cell size,
// its height one line of the font whose full-width character is that wide.
CellBox MeasureCell(int cellSize);

}  // namespace mirotabe
