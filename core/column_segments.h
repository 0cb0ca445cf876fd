// Cutting a line into columns of a fixed length under the Japanese
// line-breaking rules (kinsoku), as a typesetter applies them.
//
// A line of more than N code points is cut after every N of them. A cut
// may not fall before a head-forbidden character (closing brackets, 、。
// and the like, small kana, ー), after a tail-forbidden one (opening
// brackets), nor inside a pair of dashes. Where the cut after N breaks a
// rule:
// - under kHang, one of 、。，． hangs below the column, which then holds
//   N + 1, when the cut after it keeps the rules;
// - otherwise, under both kHang and kPushOut, the cut moves back until it
//   keeps the rules, by at most half the column length. So a run of
//   closing brackets moves down with the character before it, and a run
//   of opening ones moves down whole.
// When neither helps, or a column would be empty, the cut stays after N.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "core/layout_settings.h"

namespace mirotabe {

bool IsHeadForbidden(char32_t c);
bool IsTailForbidden(char32_t c);
// 、。，．: the characters that may hang below a column.
bool IsHanging(char32_t c);
// Whether a column may end with `before` and the next start with `after`.
bool MayBreakBetween(char32_t before, char32_t after);

namespace column_segments_detail {

// Where the column that starts at code point `start` ends, for a line of
// `length` code points read through `at`. Only the characters around the
// cut are looked at, so cutting a whole line is linear in its length.
template <typename At>
std::size_t NextCut(std::size_t start, std::size_t length, std::size_t n, Kinsoku kinsoku,
                    const At& at) {
  const std::size_t cut = start + n;
  if (cut >= length || kinsoku == Kinsoku::kNone) return cut < length ? cut : length;

  // Nothing follows the end of the line, so a cut there keeps the rules.
  const auto keepsRules = [&](std::size_t c) {
    return c == length || MayBreakBetween(at(c - 1), at(c));
  };
  if (keepsRules(cut)) return cut;
  if (kinsoku == Kinsoku::kHang && IsHanging(at(cut)) && keepsRules(cut + 1)) return cut + 1;
  const std::size_t farthest = cut - n / 2;
  for (std::size_t c = cut - 1; c > start && c >= farthest; --c) {
    if (keepsRules(c)) return c;
  }
  return cut;
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
