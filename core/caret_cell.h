// Where the input caret shows in the vertical layout, and which characters
// belong together when a word is picked out of a row.
//
// The caret's cell is worked out from its own line alone, so that moving it
// costs no more than that line, however long the text:
// - the part of the line before the caret is prepared (whole-text
//   replacements, tabs and the full-width mapping) and, under a column
//   length, cut into columns as the layout cuts lines;
// - the cell is that of the character just before the caret, or the first
//   cell when the caret starts its line, in the last of those columns;
// - the columns of the earlier lines are counted by the caller: one a line
//   without a column length, else as the layout cut them (see
//   VerticalLayout::ColumnsBeforeLine, which agrees with ColumnsOfLine),
//   and a gap's blank columns follow each.
// This is exact while the whole-text replacements neither match across the
// caret nor bring line breaks into earlier lines; where they do, the cell
// is near the character, never outside the layout.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "core/layout_settings.h"
#include "core/settings.h"

namespace mirotabe {

struct CellPosition {
  std::size_t row = 0;
  std::size_t column = 0;  // 0 = leftmost, the last line
  bool operator==(const CellPosition&) const = default;
};

// The cell of the character before the caret, whose line's text up to the
// caret is `lineBeforeCaret` and whose earlier lines make `columnsBefore`
// columns (gaps not counted), in a layout of `rows` × `columns` made under
// `tabSpace`, `table` and `layout`; none when the layout is empty.
std::optional<CellPosition> CaretCell(std::size_t columnsBefore,
                                      std::u16string_view lineBeforeCaret, std::uint8_t tabSpace,
                                      const SwapTable& table, const LayoutSettings& layout,
                                      std::size_t rows, std::size_t columns);

// The columns that input line `line` makes under `layout` (gaps not
// counted): 1 without a column length.
std::size_t ColumnsOfLine(std::u16string_view line, std::uint8_t tabSpace, const SwapTable& table,
                          const LayoutSettings& layout);

// The kinds of character a double-click picks out as one run.
enum class CharKind { kBlank, kKanji, kHiragana, kKatakana, kLetterOrDigit, kOther };

CharKind KindOf(char32_t c);

}  // namespace mirotabe
