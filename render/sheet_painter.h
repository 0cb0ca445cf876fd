// Carries out the sheets of a DrawingPlan with Qt's painting: the
// background, the rules beneath the text, each cell's glyphs set as the
// plan says (see CellPainter), the readings of ruby, and the page number.
// A PDF's readings are drawn as outlines: its text is the text's own,
// which a search or a copy finds without the readings in between. What is drawn and where
// is the plan's; this only draws it.
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
};

}  // namespace mirotabe
