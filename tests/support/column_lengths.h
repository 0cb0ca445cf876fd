// Whether the columns of a layout keep their length and the text: the
// property that the layout tests check over random texts and that the
// layout fuzz target checks over fuzzed ones.
#pragma once

#include <cstddef>
#include <string_view>

#include "core/code_points.h"
#include "core/column_segments.h"
#include "core/drawing_plan.h"
#include "core/page_setup.h"
#include "core/vertical_layout.h"

namespace mirotabe::testing_support {

// Whether `text` holds only what vanishes between two columns: the spaces
// at a cut, and the line break between two lines.
inline bool VanishesBetweenColumns(std::u16string_view text) {
  if (text.ends_with(u"\r\n")) text.remove_suffix(2);
  return text.find_first_not_of(u" \u3000") == std::u16string_view::npos;
}

// Whether every character of the text of `layout` stands in one of its
// columns, which have no gaps between them.
inline bool HoldsTheWholeText(const VerticalLayout& layout) {
  if (layout.ColumnCount() == 0) return true;
  std::size_t covered = 0;
  for (std::size_t column = layout.ColumnCount(); column-- > 0;) {
    const VerticalLayout::ColumnSpan span = layout.SpanOf(column);
    if (!VanishesBetweenColumns(span.text.substr(covered, span.start - covered))) return false;
    covered = span.end;
  }
  // The text is followed by the blanks that the grid reads ahead into.
  return VanishesBetweenColumns(layout.SpanOf(0).text.substr(covered));
}

// Whether no column of `layout`, laid out in cells under `settings`, holds
// more than its length, but for a mark that hangs below it.
inline bool CellsWithinLength(const VerticalLayout& layout, const LayoutSettings& settings) {
  const std::size_t length = settings.columnLength;
  for (std::size_t column = 0; column < layout.ColumnCount() && length != 0; ++column) {
    const VerticalLayout::ColumnSpan span = layout.SpanOf(column);
    const bool hung = settings.kinsoku == Kinsoku::kHang && span.cells == length + 1 &&
                      IsHanging(CodePointAt(span.text, span.end - 1).value);
    if (span.cells > length && !hung) return false;
  }
  return true;
}

// Whether every cell that the pages of `layout` (laid out for `setup`)
// draw ends within the column's length, but for a mark that hangs below
// it under kHang.
inline bool DrawnWithinLength(const VerticalLayout& layout, const PageSetup& setup,
                              Kinsoku kinsoku) {
  const DrawingPlan plan = DrawingPlan::Pages(layout, {}, setup);
  const auto length = static_cast<double>(layout.ColumnLength());
  bool within = true;
  for (std::size_t n = 0; n < plan.SheetCount(); ++n) {
    const SheetPlan sheet = plan.PlanSheet(n);
    plan.ForEachCell(sheet, [&](const PlannedCell& cell) {
      const double top = (cell.top - sheet.top) / sheet.cellHeight;
      const double end = top + cell.extent / sheet.cellHeight;
      const bool hung =
          kinsoku == Kinsoku::kHang && cell.text.size() == 1 && IsHanging(cell.text[0]);
      within = within && (hung ? top : end) <= length + 1e-9;
    });
  }
  return within;
}

}  // namespace mirotabe::testing_support
