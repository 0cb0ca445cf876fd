// How a base is spaced out where its reading is longer than the base and
// the overhang its neighbours allow, said once for the column fitting,
// which counts the length, and the drawing plan, which places the cells.
//
// A reading's characters are half the size of the text's, and may run
// over the cells beside their base only as far as RubyRoomOver (see
// core/drawing_plan.h) lets them. Where a reading needs more, the base
// takes the rest as blank space around and between its characters, so
// that the reading never runs over a kanji or over another reading:
// - a base of several characters has the space before its first, between
//   each two and after its last in the ratio 1:2:1, so that it still
//   reads as one word with its reading spread along it;
// - a one-character base has half before and half after, its reading
//   centred on it;
// - at a column's head the base starts flush with the column and the
//   share before goes after it; at its end the share after goes before,
//   so that the column keeps its edges.
// Where the cells keep a grid (a picture of a character to a cell), the
// space is whole blank cells, as few as hold the reading, shared as near
// the same ratio as whole cells come. 原稿用紙 keeps its squares, and a
// long reading there runs on past its base.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "core/layout_settings.h"

namespace mirotabe {

// The length of a reading's character, in thousandths of the text's em.
inline constexpr std::uint32_t kRubyAdvance = kEm / 2;

// The characters of `reading`, a cell each: its code points.
std::size_t ReadingCharacters(std::u16string_view reading);

// The most length a base `baseAdvance` long (in thousandths of an em) can
// need beyond its own for a reading of `readingCharacters`: as much as the
// reading is longer, as where nothing beside the base lets it overhang.
// The columns are fitted with this, so that however the base's neighbours
// fall when the column is drawn, it never runs past its length. Never so
// much that the base and its space are longer than a column
// (`columnAdvance`): a base that fits a column still does, and a reading
// longer than a column runs on past it. In `wholeCells`, rounded up to
// whole ems: the blank cells a grid spaces the base with.
std::uint32_t RubyExtraAdvance(std::size_t readingCharacters, std::uint32_t baseAdvance,
                               std::uint32_t columnAdvance, bool wholeCells = false);

// The blank space set around and between the parts of a base.
struct BaseSpacing {
  double before = 0;
  double between = 0;
  double after = 0;
};

// How `extra` (none if not above 0) is shared around and between the
// `parts` of a base (its cells, or its runs where Latin is set at its own
// advance), as above; `atHead` and `atEnd` say whether the base starts or
// ends its column.
BaseSpacing ShareBaseSpacing(double extra, std::size_t parts, bool atHead, bool atEnd);

// The same for `cells` whole blank cells: the blanks set before each of
// the `parts` (gap 0 before the first) and, last, after them, `parts` + 1
// gaps that add up to `cells`. Each gap ends where the shares up to it
// put it, rounded half down, so that none strays a cell from its share.
std::vector<std::size_t> ShareBaseCells(std::size_t cells, std::size_t parts, bool atHead,
                                        bool atEnd);

}  // namespace mirotabe
