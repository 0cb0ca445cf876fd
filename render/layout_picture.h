// Pictures of the vertical layout, for the window and the converter alike.
//
// Every cell sits on a fixed grid: one full-width character of the pane
// font wide and one line of it high, its text centred, black on white.
// A blank margin of one cell runs all round, and the style may add the
// lines of manuscript paper around every cell.
//
// A PNG is one image of the whole layout; neither side may exceed
// kMaxImageSide pixels. A PDF holds the same drawing cut into sheets no
// larger than PDF viewers show (one page each), one PDF point to a pixel;
// its text stays text, glyphs of an embedded font, so it can be searched
// and copied.
#pragma once

#include <QByteArray>
#include <QFont>
#include <QImage>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/picture_style.h"
#include "core/vertical_layout.h"
#include "platform/io_error.h"
#include "render/cell_painter.h"

namespace mirotabe {

inline constexpr std::int64_t kMaxImageSide = 32767;
// The largest page side PDF viewers accept: 200 inches.
inline constexpr std::int64_t kMaxSheetSide = 14400;

// The font whose full-width character is `cellSize` pixels wide: the
// pane's, scaled to fit where its em is not one full-width advance.
QFont FontForCell(int cellSize);

// A cell's size in pixels under a cell size: its width is the cell size,
// its height one line of the font whose full-width character is that wide.
CellBox MeasureCell(int cellSize);

struct PictureSize {
  std::int64_t width = 0;
  std::int64_t height = 0;
};

// The size of the PNG of `layout`, margins included.
PictureSize ImageSize(const VerticalLayout& layout, const PictureStyle& style);
inline bool FitsImage(const PictureSize& size) {
  return size.width <= kMaxImageSide && size.height <= kMaxImageSide;
}

// A block of cells drawn together, as one PDF page or one whole image.
struct Sheet {
  std::size_t firstRow = 0;
  std::size_t rows = 0;
  std::size_t firstColumn = 0;
  std::size_t columns = 0;
};

// The PDF's sheets in reading order: the rightmost columns first, and
// within a band of columns from the top down. An empty layout gives one
// sheet of margins only.
std::vector<Sheet> PdfSheets(const VerticalLayout& layout, const PictureStyle& style);

// The PNG image, before encoding. Null when the image is too large or its
// memory cannot be had.
QImage DrawImage(const VerticalLayout& layout, const PictureStyle& style);

// The file's bytes. A PNG larger than kMaxImageSide fails with
// std::errc::file_too_large; memory that cannot be had fails with
// std::errc::not_enough_memory. The error's path is empty.
IoResult<QByteArray> DrawPicture(const VerticalLayout& layout, const PictureStyle& style,
                                 PictureFormat format);

}  // namespace mirotabe
