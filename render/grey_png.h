// PNG files of grey images, written for speed: pictures of text are large,
// mostly white and compress well without the search for the best filter
// that general encoders make on every row.
#pragma once

#include <string>

#include "platform/io_error.h"
#include "render/grey_raster.h"

namespace mirotabe {

// The PNG bytes of `image`. Fails with std::errc::not_enough_memory when
// the memory cannot be had. The same image gives the same bytes: the file
// holds no time nor anything of the system it was written on.
IoResult<std::string> EncodeGreyPng(const GreyImage& image);

}  // namespace mirotabe
