// What the converter's picture formats are asked for: the format, the
// style and where the picture goes. Plain data, so that the text-only
// converter can parse the options without the drawing libraries.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "core/drawing_plan.h"
#include "core/page_setup.h"
#include "core/picture_style.h"

namespace mirotabe {

struct PictureRequest {
  PictureFormat format = PictureFormat::Png;
  PictureStyle style;
  // Standard output when absent.
  std::optional<std::string> outputFile;
  // A PDF of pages for print; without it, a PDF of sheets.
  std::optional<PageSetup> page;
  // Where the text starts new pages (its 改ページ).
  std::vector<PageBreak> pageBreaks;
  // "mincho", "gothic" or a font file; without it, pictures are drawn in
  // the Gothic and pages in their setup's face.
  std::optional<std::string> font;
};

// The largest cell size whose picture of `columns` columns `columnSpacing`
// ems apart, margins included, is at most `width` pixels wide, within the
// allowed sizes.
int CellSizeForWidth(long long width, std::size_t columns, double columnSpacing);

// The value of "--column-spacing": ems from kMinColumnSpacing to
// kMaxColumnSpacing, such as "0.75".
std::optional<double> ParseColumnSpacing(const std::string& value);

// The value of "--cell-size": a whole number of pixels in the allowed range.
std::optional<int> ParseCellSize(const std::string& value);

}  // namespace mirotabe
