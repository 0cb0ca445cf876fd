// Saving the vertical text straight from its layout: the rows go to the
// encoder and to the file a few at a time, and the whole text is never
// built. The bytes are exactly those of the layout's Text(), encoded.
#pragma once

#include <cstddef>
#include <string>

#include "core/vertical_layout.h"
#include "platform/charset.h"
#include "platform/files.h"
#include "platform/io_error.h"
#include "textio/layout_text.h"

namespace mirotabe {

// Replaces the file at `path` by the layout's text, atomically: a failure
// leaves the old file whole. Characters `charset` cannot hold become '?'.
// `others` says what becomes of a device or a FIFO at `path`.
IoStatus SaveLayout(const std::string& path, const VerticalLayout& layout,
                    Charset charset = Charset::Cp932, OtherTargets others = OtherTargets::kRefuse);

}  // namespace mirotabe
