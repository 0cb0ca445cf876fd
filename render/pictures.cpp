#include "render/pictures.h"

#include <new>
#include <system_error>

#include "render/grey_png.h"
#include "render/pdf_document.h"
#include "render/sheet_composer.h"

namespace mirotabe {
namespace {

IoError Failure(std::errc code) {
  return IoError{std::string(), std::make_error_code(code)};
}

// Draws every sheet of `plan` as a page of a PDF going to `sink`.
IoStatus WritePdf(const DrawingPlan& plan, FontChain& fonts, const PdfFile::Sink& sink) {
  try {
    PdfDocument document(fonts, sink);
    SheetComposer composer(plan, fonts);
    for (std::size_t n = 0; n < plan.SheetCount(); ++n) {
      document.AddPage(composer.Compose(plan.PlanSheet(n)));
    }
    if (!document.Finish()) return Failure(std::errc::io_error);
  } catch (const std::bad_alloc&) {
    return Failure(std::errc::not_enough_memory);
  }
  return std::nullopt;
}

DrawingPlan PicturePlan(const VerticalLayout& layout, const PictureStyle& style,
                        PictureFormat format) {
  return DrawingPlan::Picture(layout, style, PictureCell(style.cellSize, style.columnSpacing),
                              format);
}

// The picture's size, as its one sheet plans it: a picture whose cells
// flow learns its height only by setting its columns, so the plan that
// draws it is asked rather than working the height out again.
bool Fits(const SheetPlan& sheet) {
  return FitsImage(
      PictureSize{static_cast<std::int64_t>(sheet.width), static_cast<std::int64_t>(sheet.height)});
}

}  // namespace

std::optional<GreyImage> PictureImage(const VerticalLayout& layout, const PictureStyle& style,
                                      FontChain& fonts) {
  const DrawingPlan plan = PicturePlan(layout, style, PictureFormat::Png);
  const SheetPlan sheet = plan.PlanSheet(0);
  if (!Fits(sheet)) return std::nullopt;
  try {
    SheetComposer composer(plan, fonts);
    return GreyRaster(fonts).Draw(composer.Compose(sheet));
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
}

IoResult<std::string> PictureFile(const VerticalLayout& layout, const PictureStyle& style,
                                  PictureFormat format, FontChain& fonts) {
  if (format == PictureFormat::Pdf) {
    std::string bytes;
    const IoStatus written = WritePdf(PicturePlan(layout, style, PictureFormat::Pdf), fonts,
                                      [&bytes](std::string_view block) {
                                        bytes.append(block);
                                        return true;
                                      });
    if (written.failed()) return written.error();
    return bytes;
  }
  const DrawingPlan plan = PicturePlan(layout, style, PictureFormat::Png);
  if (!Fits(plan.PlanSheet(0))) return Failure(std::errc::file_too_large);
  const std::optional<GreyImage> image = PictureImage(layout, style, fonts);
  if (!image) return Failure(std::errc::not_enough_memory);
  return EncodeGreyPng(*image);
}

IoStatus WritePages(const VerticalLayout& layout, const PictureStyle& style, const PageSetup& setup,
                    FontChain& fonts, const PdfFile::Sink& sink,
                    const std::vector<PageBreak>& breaks) {
  return WritePdf(DrawingPlan::Pages(layout, style, setup, breaks), fonts, sink);
}

}  // namespace mirotabe
