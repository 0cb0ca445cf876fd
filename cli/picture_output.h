// The converter's picture formats: the layout drawn as PNG or PDF by the
// window's own drawing code, without a display.
#pragma once

#include <string>

#include "cli/picture_request.h"
#include "core/vertical_layout.h"

namespace mirotabe {

// Draws `layout` and writes it, within RunPictureConverter. Failures are
// reported on standard error under the name `program`; the result is the
// exit status.
int WritePicture(const VerticalLayout& layout, const PictureRequest& request, const char* program);

// The advances of the half-width Latin in the pictures' and pages' font,
// within RunPictureConverter.
LatinAdvances PictureLatinAdvances();

// Runs the converter (see RunConvert) with its picture formats, without a
// display; `programFolder` is the converter's that handed the command over.
int RunPictureConverter(int argc, char** argv, const std::string& programFolder);

}  // namespace mirotabe
