// Cutting a line into columns of a fixed length under the Japanese
// line-breaking rules (kinsoku).
//
// A line of more than N code points is cut after every N of them. At each
// cut:
// - a head-forbidden character (closing brackets, 、。 and the like, small
//   kana, ー) must not start the next column: under kHang it stays on the
//   column above, which then holds N + 1; under kPushOut the character
//   before the cut moves down with it, so the column holds N − 1;
// - under both, a tail-forbidden character (an opening bracket) must not
//   end a column: it moves down to the next one.
// One character at most moves either way. When the moved cut would still
// break a rule, or leave a column empty, the cut stays after N.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "core/layout_settings.h"

namespace mirotabe {

bool IsHeadForbidden(char32_t c);
bool IsTailForbidden(char32_t c);

// The lengths, in code points, of the columns `line` is cut into, top
// column first. A surrogate pair is one code point. Every line gives at
// least one column (an empty line one of length 0); a column length of 0,
// or a line no longer than it, gives the whole line.
std::vector<std::size_t> SegmentLine(std::u16string_view line, std::size_t columnLength,
                                     Kinsoku kinsoku);

}  // namespace mirotabe
