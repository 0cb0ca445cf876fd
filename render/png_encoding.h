// PNG files of grey images, written for speed: pictures of text are large,
// mostly white and compress well without the search for the best filter
// that general encoders make on every row.
#pragma once

#include <QByteArray>
#include <QImage>

#include "platform/io_error.h"

namespace mirotabe {

// The PNG bytes of `image` (Format_Grayscale8). Fails with
// std::errc::not_enough_memory when the memory cannot be had.
IoResult<QByteArray> EncodeGreyPng(const QImage& image);

}  // namespace mirotabe
