// What the page's canvas draws where the painter cannot be loaded (a page
// opened from disk): the sheets of a DrawingPlan, over a layout of its
// own, so that typing on while a picture is made changes nothing in it.
#pragma once

#include <emscripten/val.h>

#include <cstddef>
#include <optional>
#include <utility>

#include "core/drawing_plan.h"
#include "core/picture_style.h"
#include "core/vertical_layout.h"

namespace mirotabe::web {

class Drawing {
 public:
  // A picture of `layout`, its cells `box` large (as large as the
  // painter's font makes them): one sheet for a PNG, sheets as large as
  // PDF viewers show for a PDF.
  static Drawing* Picture(VerticalLayout layout, const PictureStyle& style, CellBox box,
                          PictureFormat format);

  std::size_t SheetCount() const { return plan_->SheetCount(); }

  // Sheet `n` as the painters take it: its size and colours, the size of
  // its cells and of their characters (centred in them), the steps
  // drawn beneath the text, the page number, and its cells in reading
  // order as arrays: `at` (each cell's left and top), `orientation` (each
  // one's CellOrientation), `item` (each one's CellItem), `wordSpacing`
  // (what each space of a sideways run gains) and `text` (each one's length
  // in units, then its units); and the cells of ruby's readings, `rubyCell`
  // on a side, as `rubyAt`, `rubyOrientation`, `rubyItem`,
  // `rubyWordSpacing` and `rubyText`; and the left edge of each of its
  // columns, `columnLefts`, and whether each starts a paragraph,
  // `paragraphStarts`, for a PDF's tags.
  emscripten::val Sheet(std::size_t n) const;

 private:
  explicit Drawing(VerticalLayout layout) : layout_(std::move(layout)) {}

  VerticalLayout layout_;
  std::optional<DrawingPlan> plan_;
};

}  // namespace mirotabe::web
