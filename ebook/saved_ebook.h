// The e-book that the windows and the browser's page save of the text they
// show: read in the notation the settings name (Aozora Bunko's unless
// told), titled by its header, else by the name of the file it is saved as.
#pragma once

#include <string>
#include <string_view>

#include "core/picture_style.h"

namespace mirotabe {

// The EPUB's bytes of `input` under `style`'s notation; `savedName` is the
// saved file's name without its folder and extension.
std::string SavedEbook(std::u16string_view input, const PictureStyle& style,
                       std::u16string_view savedName);

}  // namespace mirotabe
