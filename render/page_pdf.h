// PDF pages for print: the layout's columns set on the pages of a
// PageSetup, right to left from the right margin and on to the next page,
// the rightmost first. A character hung below its column stands in the
// bottom margin. 原稿用紙 draws its grid in the traditional vermilion.
//
// The PDF is made in memory, its text layer completed (see
// CompleteTextLayer), then written to the device. The text stays text in
// reading order, each column top to bottom, columns right to left, pages in
// order, and reads back so (pdftotext -raw), every character included.
#pragma once

#include <QIODevice>
#include <QStringList>
#include <optional>

#include "core/page_setup.h"
#include "core/picture_style.h"
#include "core/vertical_layout.h"
#include "platform/io_error.h"

namespace mirotabe {

// Writes the pages of `layout`, cut as PageLayoutSettings says, to `out`,
// in the setup's face, or in `families` where they are given (see
// render/typefaces.h). Fails with std::errc::io_error when the PDF cannot
// be drawn; a device that refuses the bytes keeps its own error for the
// caller to report.
IoStatus WritePagedPdf(const VerticalLayout& layout, const PictureStyle& style,
                       const PageSetup& setup, QIODevice& out,
                       const std::optional<QStringList>& families = std::nullopt);

}  // namespace mirotabe
