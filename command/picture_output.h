// The converter's picture formats: the layout drawn as PNG or PDF by the
// painter that every edition shares (render/), in the converter's own
// process, without Qt or a display.
#pragma once

#include "command/picture_request.h"
#include "core/vertical_layout.h"

namespace mirotabe {

// Draws `layout` and writes it. Failures are reported on standard error
// under the name `program`; the result is the exit status.
int WritePicture(const VerticalLayout& layout, const PictureRequest& request, const char* program);

// The advances of the half-width Latin in the pictures' and pages' font.
LatinAdvances PictureLatinAdvances();

}  // namespace mirotabe
