// The steps that make a VerticalLayout, shared by building one whole
// (core/layout_build.cpp) and updating one edit by edit
// (core/layout_update.cpp). Nothing outside core uses them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/column_segments.h"
#include "core/prepare_text.h"
#include "core/ruby_notation.h"
#include "core/vertical_layout.h"

namespace mirotabe {

// The grid is read eight units at a time, up to seven past a column's end:
// the prepared text is followed by this many units of padding.
inline constexpr std::size_t kGridReadAhead = 8;

class LayoutBuilder {
 public:
  using Column = VerticalLayout::Column;

  // Lays out `prepared`, the input text as PrepareText makes it under
  // `rules`; `layout` brings the memory of an earlier layout, or none.
  // Given `input` (the text before preparation), the layout keeps what an
  // update needs.
  // `written`: the units of `prepared` that whole-text entries wrote. A
  // text that grew too long to prepare is refused as it is.
  static LayoutResult Build(PreparedText&& prepared, EntryRanges&& written, VerticalLayout&& layout,
                            const LayoutRules& rules, std::size_t maxCells,
                            const std::u16string_view* input = nullptr);

  // Why `layout` is over `maxCells` cells, or nothing.
  static std::optional<LayoutTooLarge> TooLarge(const VerticalLayout& layout, std::size_t maxCells);

  // Sets the rows (and the count of columns that long) from the columns.
  static void CountRows(VerticalLayout& layout);

  // Lines end at CR LF only: a lone CR or LF is a character of its line.
  // The lines of `layout.prepared_` in [from, end) go to `lines`.
  static void SplitLines(VerticalLayout& layout, std::size_t from, std::size_t end,
                         std::vector<Column>& lines);

  // Cuts `lines` into their segments, with the gaps between them, into
  // `columns`, and counts each line's columns. A segment is a column of its
  // own that starts further in; a gap is a column of no cells, which reads
  // as blank in every row. The last column is followed by gaps unless
  // `lastIsLast`.
  static void ArrangeColumns(const VerticalLayout& layout, const std::vector<Column>& lines,
                             const LayoutSettings& settings, std::vector<Column>& columns,
                             std::vector<std::size_t>& lineColumns, bool lastIsLast);

  // Every cell and every replaced cell is one unit here, so the cells can
  // be replaced once in the text instead of on every read. The places of
  // the standing outputs the lines hold are kept first; the lines lie
  // beyond those replaced before.
  static void ReplaceInPlace(VerticalLayout& layout, const std::vector<Column>& lines);

 private:
  // Keeps the rules and the input lines' units, where the prepared lines
  // are the input lines, one for one: whole-text entries without line
  // breaks keep them so, unless one joins a lone CR to a lone LF.
  static void KeepBasis(VerticalLayout& layout, std::u16string_view input,
                        const LayoutRules& rules);

  static void SplitLines(VerticalLayout& layout);

  static Column LineOf(VerticalLayout& layout, std::size_t start, std::size_t end,
                       std::size_t pairs);

  // The ruby bases of `line` as its cells, which its cuts keep whole, into
  // `bases`, and the characters of their readings into `readings`; `next`
  // is the first base not yet passed, moved past the line's.
  static void RubyBasesOf(const VerticalLayout& layout, const Column& line,
                          std::vector<RubySpan>::const_iterator& next, std::vector<Segment>& bases,
                          std::vector<std::size_t>& readings);
};

}  // namespace mirotabe
