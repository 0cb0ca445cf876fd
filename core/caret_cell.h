// Where the input caret shows in the vertical layout, and which characters
// belong together when a word is picked out of a row.
//
// The caret's cell is worked out from its own line alone, so that moving it
// costs no more than that line, however long the text: the part of the
// line before the caret is prepared (whole-text replacements, tabs and the
// full-width mapping), and the layout says where the character just before
// the caret stands, or the line's first cell when the caret starts it.
// This is exact while the whole-text replacements neither match across the
// caret nor bring line breaks into earlier lines; where they do, the cell
// is near the character, never outside the layout.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "core/settings.h"
#include "core/vertical_layout.h"

namespace mirotabe {

// The cell of the character before the caret in `layout`, made under
// `rules`: the caret stands in input line `line` (0 = the first) after
// `lineBeforeCaret`, that line's text up to it. None when the layout is
// empty.
std::optional<CellPosition> CaretCell(const VerticalLayout& layout, std::size_t line,
                                      std::u16string_view lineBeforeCaret,
                                      const LayoutRules& rules);

// The kinds of character a double-click picks out as one run.
enum class CharKind { kBlank, kKanji, kHiragana, kKatakana, kLetterOrDigit, kOther };

CharKind KindOf(char32_t c);

}  // namespace mirotabe
