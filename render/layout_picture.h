// Pictures of the vertical layout, for the window and the converter alike,
// drawn by the plan of core/drawing_plan.h.
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
#include <QImage>
#include <vector>

#include "core/drawing_plan.h"
#include "core/picture_style.h"
#include "core/vertical_layout.h"
#include "platform/io_error.h"
#include "render/cell_font.h"
#include "render/pane_font_families.h"

namespace mirotabe {

// The size of the PNG of `layout`, margins included.
PictureSize ImageSize(const VerticalLayout& layout, const PictureStyle& style);

// The PDF's sheets in reading order (see PictureSheets).
std::vector<Sheet> PdfSheets(const VerticalLayout& layout, const PictureStyle& style);

// The PNG image, before encoding, its characters in the first of
// `families` that has them. Null when the image is too large or its memory
// cannot be had.
QImage DrawImage(const VerticalLayout& layout, const PictureStyle& style,
                 const QStringList& families = PaneFontFamilies());

// The file's bytes. A PNG larger than kMaxImageSide fails with
// std::errc::file_too_large; memory that cannot be had fails with
// std::errc::not_enough_memory. The error's path is empty.
IoResult<QByteArray> DrawPicture(const VerticalLayout& layout, const PictureStyle& style,
                                 PictureFormat format,
                                 const QStringList& families = PaneFontFamilies());

}  // namespace mirotabe
