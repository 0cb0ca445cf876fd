// Carries out the sheets of a DrawingPlan with Qt's painting: the
// background, the rules beneath the text, each cell's glyphs set as the
// plan says (see CellPainter), the readings of ruby, and the page number.
// In a PDF the readings are glyphs marked as standing for no text: its
// text is the text's own, which a search or a copy finds without the
// readings in between (see ContentMarks). What is drawn and where is the
// plan's; this only draws it.
#pragma once

#include <memory>

#include "core/drawing_plan.h"
#include "render/cell_painter.h"
#include "render/pane_font_families.h"

class QPainter;

namespace mirotabe {

class SheetPainter {
 public:
  // `scale`: the painter's device units per unit of the plan; `families`:
  // the fonts of the characters and the page number, in order of
  // preference (see render/typefaces.h).
  SheetPainter(const DrawingPlan& plan, double scale, CellTarget target,
               QStringList families = PaneFontFamilies());
  ~SheetPainter();
  SheetPainter(const SheetPainter&) = delete;
  SheetPainter& operator=(const SheetPainter&) = delete;

  // Draws `sheet` of the plan, its top-left corner at the painter's origin.
  void Paint(QPainter& painter, const SheetPlan& sheet);

  // Records the text of each glyph of the cells in `log` (see CellPainter).
  void LogGlyphTexts(GlyphTextLog* log) { log_ = log; }
  // Marks in `marks` what each stretch of the drawing is (see
  // ContentMarks): the text's paragraphs, the ruling, the readings and
  // the page number.
  void MarkContent(ContentMarks* marks) { marks_ = marks; }

 private:
  const DrawingPlan& plan_;
  double scale_;
  CellTarget target_;
  QStringList families_;
  // Made for the first sheet: every sheet of a plan has cells of one size.
  std::unique_ptr<CellPainter> cells_;
  // The readings' cells, made for the first reading.
  std::unique_ptr<CellPainter> ruby_;
  GlyphTextLog* log_ = nullptr;
  ContentMarks* marks_ = nullptr;

  // Ends the paragraph mark of the sheet's column `column` (none when it
  // is columns.size()) and begins the mark of the column whose left edge
  // is `left`, which it returns.
  std::size_t MarkColumn(QPainter& painter, const SheetPlan& sheet, std::size_t column,
                         double left);
  // Begins a mark of `kind` where there are marks and `when` holds;
  // whether it did, for EndMark.
  bool BeginMark(QPainter& painter, ContentMarks::Kind kind, bool when = true);
  void EndMark(QPainter& painter, bool begun);
};

}  // namespace mirotabe
