// The converter's picture formats: the layout drawn as PNG or PDF by the
// window's own drawing code, without a display.
#pragma once

#include "cli/picture_request.h"
#include "core/vertical_layout.h"

namespace mirotabe {

// Draws `layout` and writes it. Failures are reported on standard error
// under the name `program`; the result is the exit status.
int WritePicture(const VerticalLayout& layout, const PictureRequest& request, const char* program);

}  // namespace mirotabe
