// The pictures and pages that the windows save of the text they show: read
// in the notation the settings name (Aozora Bunko's unless told: its
// 字下げ, 地付き, 外字 and ruby set in the cells, its 改ページ starting
// pages, its other marks left out, as the converter reads them), laid out
// for the picture or the pages as the settings say (Latin set sideways at
// the widths of the face that draws it), drawn by the painter into memory,
// so that a file that cannot be drawn is never begun.
#pragma once

#include <string>
#include <string_view>

#include "core/picture_style.h"
#include "core/settings.h"
#include "core/vertical_layout.h"
#include "platform/io_error.h"

namespace mirotabe {

// The pages of `input` under `settings.page`, in its face. A text too large
// to lay out fails with std::errc::file_too_large; the error names no path.
IoResult<std::string> SavedPages(std::u16string_view input, const AppSettings& settings);

// A picture of `input` as `shown` lays it out (laid out again where the
// picture's style or the notation sets it apart), in the Gothic, as the converter draws
// pictures. Fails as PictureFile does, and as SavedPages.
IoResult<std::string> SavedPicture(std::u16string_view input, const VerticalLayout& shown,
                                   const AppSettings& settings, PictureFormat format);

}  // namespace mirotabe
