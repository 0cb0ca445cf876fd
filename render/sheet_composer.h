// Carries out the sheets of a DrawingPlan as SheetDrawings: the background,
// the rules beneath the text, each cell's glyphs set as the plan says (see
// CellSetter), the readings of ruby, and the page number, with marks that
// say what each stretch is: the text's paragraphs, the ruling, the
// readings (glyphs that stand for no text, so that a search or a copy of a
// PDF finds the text without them) and the page number. What is drawn and
// where is the plan's; this only sets the glyphs.
#pragma once

#include <memory>

#include "core/drawing_plan.h"
#include "render/cell_setter.h"
#include "render/font_chain.h"
#include "render/sheet_drawing.h"

namespace mirotabe {

class SheetComposer {
 public:
  // `fonts` (which must outlive the composer) in order of preference.
  SheetComposer(const DrawingPlan& plan, FontChain& fonts);

  SheetDrawing Compose(const SheetPlan& sheet);

 private:
  class Output;

  void ComposeReadings(Output& out, const SheetPlan& sheet);
  void ComposePageNumber(Output& out, const PageNumberPlan& number);

  const DrawingPlan& plan_;
  FontChain& fonts_;
  // Made for the first sheet: every sheet of a plan has cells of one size.
  std::unique_ptr<CellSetter> cells_;
  std::unique_ptr<CellSetter> ruby_;
};

}  // namespace mirotabe
