// Pictures and pages of the vertical layout, for every edition, drawn by
// the plan of core/drawing_plan.h in the fonts of a FontChain.
//
// A PNG is one image of the whole layout; neither side may exceed
// kMaxImageSide pixels. A PDF picture holds the same drawing cut into
// sheets no larger than PDF viewers show (one page each), one PDF point to
// a pixel. Pages for print set the layout's columns on the pages of a
// PageSetup, right to left from the right margin and on to the next page;
// 原稿用紙 draws its grid in the traditional vermilion. A PDF's text stays
// text, glyphs of embedded fonts, in reading order: each column top to
// bottom, columns right to left, pages in order, and reads back so
// (pdftotext -raw), every character included.
//
// The same layout, style and fonts give the same bytes on every run and on
// every system: nothing else goes in.
#pragma once

#include <optional>
#include <string>

#include "core/drawing_plan.h"
#include "core/page_setup.h"
#include "core/picture_style.h"
#include "core/vertical_layout.h"
#include "platform/io_error.h"
#include "render/font_chain.h"
#include "render/grey_raster.h"
#include "render/pdf_file.h"

namespace mirotabe {

// The PNG's image before encoding; none when the image is too large or its
// memory cannot be had.
std::optional<GreyImage> PictureImage(const VerticalLayout& layout, const PictureStyle& style,
                                      FontChain& fonts);

// The file's bytes. A PNG larger than kMaxImageSide fails with
// std::errc::file_too_large; memory that cannot be had fails with
// std::errc::not_enough_memory. The error's path is empty.
IoResult<std::string> PictureFile(const VerticalLayout& layout, const PictureStyle& style,
                                  PictureFormat format, FontChain& fonts);

// Writes the pages of `layout`, cut as PageLayoutSettings says for
// `setup`, to `sink` as each page is made. Fails with std::errc::io_error
// when the sink refuses the bytes (the sink keeps its own reason) or a font
// cannot be embedded, and with std::errc::not_enough_memory when memory
// runs out.
// `breaks` start new pages where the text asks for them.
IoStatus WritePages(const VerticalLayout& layout, const PictureStyle& style, const PageSetup& setup,
                    FontChain& fonts, const PdfFile::Sink& sink,
                    const std::vector<PageBreak>& breaks = {});

}  // namespace mirotabe
