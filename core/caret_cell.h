// Where the input caret shows in the vertical layout, and which characters
// belong together when a word is picked out of a row.
//
// The caret's cell is worked out from its own line alone, so that moving it
// costs no more than that line, however long the text:
// - the column is the caret's line (the first line is the rightmost
//   column);
// - the row is the cell, in that line's prepared form (whole-text
//   replacements, tabs and the full-width mapping applied to the part
//   before the caret), of the character just before the caret, or the
//   first cell when the caret starts its line.
// This is exact while the whole-text replacements neither match across the
// caret nor bring line breaks into earlier lines; where they do, the cell
// is near the character, never outside the layout.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "core/settings.h"

namespace mirotabe {

struct CellPosition {
  std::size_t row = 0;
  std::size_t column = 0;  // 0 = leftmost, the last line
  bool operator==(const CellPosition&) const = default;
};

// The cell of the character before the caret on input line `line` (0 =
// first), whose text up to the caret is `lineBeforeCaret`, in a layout of
// `rows` × `columns` made under `tabSpace` and `table`; none when the
// layout is empty.
std::optional<CellPosition> CaretCell(std::size_t line, std::u16string_view lineBeforeCaret,
                                      std::uint8_t tabSpace, const SwapTable& table,
                                      std::size_t rows, std::size_t columns);

// The kinds of character a double-click picks out as one run.
enum class CharKind { kBlank, kKanji, kHiragana, kKatakana, kLetterOrDigit, kOther };

CharKind KindOf(char32_t c);

}  // namespace mirotabe
