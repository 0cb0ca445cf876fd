// A book read in Aozora Bunko's notation as plain text, the way a grid of
// cells holds it: the header's lines, then the body's; 字下げ as leading
// full-width spaces, 地付き and 地から N 字上げ as the spaces that carry the
// rest of the line to the foot of a column of `columnLength` cells (of the
// longest line, when the columns are not cut), 外字 as their characters,
// ruby back in the ruby notation (so that the layout sets it, or keeps it
// as typed), and every other mark left out: the text stays, its
// decoration goes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/aozora_notation.h"
#include "core/drawing_plan.h"

namespace mirotabe {

// What becomes of 傍点 and 傍線 in the grid: nothing, or a reading of their
// mark beside each character (as ruby that a picture or a page sets, where
// the layout sets ruby): 傍点 one mark a cell, 傍線 a line down the cell,
// both on the side ruby takes, where the character has no ruby of its own.
enum class GridMarks : std::uint8_t { kNone, kBeside };

// Lines end in CR LF, the program's own text form.
std::u16string AozoraGridText(const AozoraBook& book, std::size_t columnLength,
                              GridMarks marks = GridMarks::kNone);

// The pages that `book`'s 改ページ, 改丁 and 改見開き start, by the lines
// of AozoraGridText's text. 改段 starts only a column, as every line does.
std::vector<PageBreak> AozoraPageBreaks(const AozoraBook& book);

}  // namespace mirotabe
