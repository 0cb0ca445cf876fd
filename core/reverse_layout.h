// Reading a vertical text back into horizontal lines.
//
// The rows are separated by CR LF, and each cell is one code point (a
// surrogate pair is one). The cells of a row are counted from the left, so
// a row that is shorter than the others (one whose trailing blanks an
// editor dropped) lacks cells of the rightmost columns, and those read as
// blank. The columns are read from right to left, each from top to bottom;
// the blanks "　" (U+3000) at the bottom of a column are dropped, and each
// column becomes one line. The full-width mapping is not undone.
//
// For a text laid out with an empty table, no tabs, no column length and
// no gap, this gives back the full-width form of the text, except where the
// layout loses what it was given:
// - a line that ends in blanks (spaces become "　") loses them;
// - a text of empty lines only lays out as nothing, which reads back as "";
// - a lone CR or LF, or a lone surrogate, in a line can join with its
//   neighbour in the row into a line break or a pair;
// - gap columns read back as empty lines, and the segments of a cut line as
//   lines of their own; the cells of Type 0 entries stay replaced.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <variant>

#include "core/vertical_layout.h"

namespace mirotabe {

// The horizontal text, or why it was not read: its rows × the widest row
// (`lines` × `longestLine`) are more cells than `bound`. Such a text is no
// vertical one, and reading it would take as much room as laying it out.
using ReverseResult = std::variant<std::u16string, LayoutTooLarge>;

ReverseResult ReverseLayout(std::u16string_view vertical, std::size_t maxCells = kMaxLayoutCells);

}  // namespace mirotabe
