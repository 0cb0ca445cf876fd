#include "render/grey_png.h"

#include <png.h>

#include <csetjmp>
#include <new>
#include <system_error>

namespace mirotabe {
namespace {

// Whether `data` could be appended to `out`. A failure is only reported
// here: libpng's error path is a long jump, which must not leave a catch
// handler (the exception would never be finished) nor pass through
// frames with objects to destroy.
bool Append(std::string* out, png_bytep data, png_size_t length) noexcept {
  try {
    out->append(reinterpret_cast<const char*>(data), length);
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

void AppendBytes(png_structp png, png_bytep data, png_size_t length) {
  if (!Append(static_cast<std::string*>(png_get_io_ptr(png)), data, length)) {
    png_error(png, "out of memory");
  }
}

void FlushNothing(png_structp) {}

// libpng reports its errors by a long jump back here, so no object with a
// destructor may live in this function.
bool WriteRows(png_structp png, png_infop info, const GreyImage& image, std::string* out) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_write_fn(png, out, AppendBytes, FlushNothing);
  png_set_IHDR(png, info, static_cast<png_uint_32>(image.width),
               static_cast<png_uint_32>(image.height), 8, PNG_COLOR_TYPE_GRAY, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  // One cheap filter: rows of text repeat the row above in most places.
  png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_UP);
  // Beyond level 3 the file shrinks by a few per cent for twice the time.
  png_set_compression_level(png, 3);
  png_write_info(png, info);
  for (int y = 0; y < image.height; ++y) {
    png_write_row(png, image.pixels.data() +
                           static_cast<std::size_t>(y) * static_cast<std::size_t>(image.width));
  }
  png_write_end(png, nullptr);
  return true;
}

}  // namespace

IoResult<std::string> EncodeGreyPng(const GreyImage& image) {
  const IoError outOfMemory{{}, std::make_error_code(std::errc::not_enough_memory)};
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (png == nullptr) return outOfMemory;
  png_infop info = png_create_info_struct(png);
  if (info == nullptr) {
    png_destroy_write_struct(&png, nullptr);
    return outOfMemory;
  }
  std::string bytes;
  const bool written = WriteRows(png, info, image, &bytes);
  png_destroy_write_struct(&png, &info);
  if (!written) return outOfMemory;
  return bytes;
}

}  // namespace mirotabe
