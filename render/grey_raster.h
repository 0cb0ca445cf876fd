// Puts a SheetDrawing down as a grey image, one pixel to a unit of the
// plan: the rules and rectangles, and the glyphs' outlines as FreeType
// reads them from the fonts' bytes, unhinted and anti-aliased, so that
// every edition draws the same pixels. Grey levels are all a
// black-on-white picture needs, at a quarter of the memory and encoding
// time of colour.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "render/font_chain.h"
#include "render/sheet_drawing.h"

namespace mirotabe {

struct GreyImage {
  int width = 0;
  int height = 0;
  // Row after row, top down, a byte to a pixel: 0 black, 255 white.
  std::vector<std::uint8_t> pixels;

  std::uint8_t At(int x, int y) const {
    return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                  static_cast<std::size_t>(x)];
  }
};

// The grey level of a colour, as the eye weighs its parts.
std::uint8_t GreyOf(Rgb colour);

class GreyRaster {
 public:
  // `fonts` (which must outlive the raster) are the drawing's.
  explicit GreyRaster(FontChain& fonts);
  ~GreyRaster();
  GreyRaster(const GreyRaster&) = delete;
  GreyRaster& operator=(const GreyRaster&) = delete;

  // The image of `drawing`, its size rounded to whole pixels; none when
  // its memory cannot be had.
  std::optional<GreyImage> Draw(const SheetDrawing& drawing);

 private:
  struct FreeType;
  std::unique_ptr<FreeType> ft_;
};

}  // namespace mirotabe
