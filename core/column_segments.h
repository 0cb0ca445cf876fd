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

namespace column_segments_detail {

// Where the column that starts at code point `start` ends, for a line of
// `length` code points read through `at`. Only the characters around the
// cut are looked at, so cutting a whole line is linear in its length.
template <typename At>
std::size_t NextCut(std::size_t start, std::size_t length, std::size_t n, Kinsoku kinsoku,
                    const At& at) {
  const std::size_t cut = start + n;
  if (cut >= length || kinsoku == Kinsoku::kNone) return cut < length ? cut : length;

  // A cut at `c` keeps the rules when the column above is not empty, does
  // not end in a tail-forbidden character, and the next does not start with
  // a head-forbidden one. Nothing follows the end of the line.
  const auto keepsRules = [&](std::size_t c) {
    if (c <= start || c > length) return false;
    if (IsTailForbidden(at(c - 1))) return false;
    return c == length || !IsHeadForbidden(at(c));
  };
  if (keepsRules(cut)) return cut;

  std::size_t moved = cut - 1;
  if (!IsTailForbidden(at(cut - 1)) && kinsoku == Kinsoku::kHang) moved = cut + 1;
  return keepsRules(moved) ? moved : cut;
}

}  // namespace column_segments_detail

// Calls emit(cells) for each column a line of `length` code points is cut
// into, top column first; at(i) gives code point i. Every line gives at
// least one column (an empty line one of 0 cells); a column length of 0,
// or a line no longer than it, gives the whole line.
template <typename At, typename Emit>
void ForEachSegment(std::size_t length, std::size_t columnLength, Kinsoku kinsoku, const At& at,
                    Emit&& emit) {
  if (columnLength == 0 || length <= columnLength) {
    emit(length);
    return;
  }
  for (std::size_t start = 0; start < length;) {
    const std::size_t end =
        column_segments_detail::NextCut(start, length, columnLength, kinsoku, at);
    emit(end - start);
    start = end;
  }
}

// The lengths, in code points, of the columns `line` is cut into, as
// ForEachSegment gives them. A surrogate pair is one code point.
std::vector<std::size_t> SegmentLine(std::u16string_view line, std::size_t columnLength,
                                     Kinsoku kinsoku);

}  // namespace mirotabe
