// The layout's text in code page 932, written straight from the layout.
#pragma once

#include <functional>
#include <string_view>

#include "core/vertical_layout.h"

namespace mirotabe {

// How ForEachCp932Piece ended.
enum class Cp932Pieces { kWritten, kStopped, kNotTwoBytes };

// The layout's text in code page 932, in pieces of a few rows each, when
// every cell is one unit that code page 932 writes in two bytes, as the
// full-width text of a layout mostly is. The units are encoded once, in
// the layout's own memory, and the grid is written from them: the output,
// several times the text's size, is written once and never encoded again.
// The layout then holds encoded units and serves nothing more. Passes
// nothing and returns kNotTwoBytes, the layout untouched, when some cell
// is not such a unit; kStopped when the sink returned false.
Cp932Pieces ForEachCp932Piece(VerticalLayout& layout,
                              const std::function<bool(std::string_view bytes)>& sink);

}  // namespace mirotabe
