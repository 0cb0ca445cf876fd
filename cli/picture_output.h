// The converter's picture formats: the layout drawn as PNG or PDF by the
// window's own drawing code, without a display.
#pragma once

#include <optional>
#include <string>

#include "core/picture_style.h"
#include "core/vertical_layout.h"
#include "render/layout_picture.h"

namespace mirotabe {

struct PictureRequest {
  PictureFormat format = PictureFormat::Png;
  PictureStyle style;
  // Standard output when absent.
  std::optional<std::string> outputFile;
};

// The value of "--cell-size": a whole number of pixels in the allowed range.
std::optional<int> ParseCellSize(const std::string& value);

// Draws `layout` and writes it. Failures are reported on standard error
// under the name `program`; the result is the exit status.
int WritePicture(const VerticalLayout& layout, const PictureRequest& request, const char* program);

}  // namespace mirotabe
