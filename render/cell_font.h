// The font of a picture's cells.
#pragma once

#include <QFont>

namespace mirotabe {

// The font whose full-width character is `cellSize` pixels wide: the
// pane's, scaled to fit where its em is not one full-width advance.
QFont FontForCell(int cellSize);

}  // namespace mirotabe
