#include "render/layout_picture.h"

#include <QBuffer>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <string>
#include <system_error>
#include <utility>

#include "render/document_painting.h"
#include "render/pdf_tags.h"
#include "render/png_encoding.h"
#include "render/sheet_painter.h"

namespace mirotabe {
namespace {

IoError Failure(std::errc code) {
  return IoError{std::string(), std::make_error_code(code)};
}

IoResult<QByteArray> DrawPdf(const VerticalLayout& layout, const PictureStyle& style,
                             const QStringList& families) {
  const DrawingPlan plan = DrawingPlan::Picture(
      layout, style, PictureCell(style.cellSize, style.columnSpacing), PictureFormat::Pdf);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QPdfWriter writer(&buffer);
  writer.setCreator(QStringLiteral("Mirotabe"));
  // One point to a pixel, so that the pages measure like the PNG.
  writer.setResolution(72);
  const auto pageSize = [](const SheetPlan& sheet) {
    return QPageSize(QSizeF(sheet.width, sheet.height), QPageSize::Point, QString(),
                     QPageSize::ExactMatch);
  };
  SheetPlan sheet = plan.PlanSheet(0);
  writer.setPageMargins(QMarginsF(0, 0, 0, 0));
  writer.setPageSize(pageSize(sheet));
  GlyphTextLog texts;
  ContentMarks marks;
  const IoStatus painted = PaintDocument(writer, [&](QPainter& painter) {
    SheetPainter sheets(plan, 1, CellTarget::kDocument, families);
    sheets.LogGlyphTexts(&texts);
    sheets.MarkContent(&marks);
    for (std::size_t n = 0; n < plan.SheetCount(); ++n) {
      if (n != 0) {
        sheet = plan.PlanSheet(n);
        writer.setPageSize(pageSize(sheet));
        writer.newPage();
      }
      sheets.Paint(painter, sheet);
    }
  });
  if (painted.failed()) return painted.error();
  buffer.close();
  return CompletedPdf(std::move(bytes), texts, marks);
}

// The picture's size, as its one sheet plans it: a picture whose cells
// flow learns its height only by setting its columns, so the plan that
// draws it is asked rather than working the height out again.
PictureSize SizeOf(const SheetPlan& sheet) {
  return PictureSize{static_cast<std::int64_t>(sheet.width),
                     static_cast<std::int64_t>(sheet.height)};
}

QImage PaintImage(const DrawingPlan& plan, const SheetPlan& sheet, const QStringList& families) {
  // Grey levels are all a black-on-white picture needs, at a quarter of
  // the memory and encoding time of colour.
  QImage image(static_cast<int>(sheet.width), static_cast<int>(sheet.height),
               QImage::Format_Grayscale8);
  if (image.isNull()) return image;
  QPainter painter(&image);
  SheetPainter(plan, 1, CellTarget::kScreen, families).Paint(painter, sheet);
  return image;
}

}  // namespace

PictureSize ImageSize(const VerticalLayout& layout, const PictureStyle& style) {
  return PictureSizeOf(layout, PictureCell(style.cellSize, style.columnSpacing));
}

std::vector<Sheet> PdfSheets(const VerticalLayout& layout, const PictureStyle& style) {
  return PictureSheets(layout, PictureCell(style.cellSize, style.columnSpacing));
}

QImage DrawImage(const VerticalLayout& layout, const PictureStyle& style,
                 const QStringList& families) {
  const DrawingPlan plan = DrawingPlan::Picture(
      layout, style, PictureCell(style.cellSize, style.columnSpacing), PictureFormat::Png);
  const SheetPlan sheet = plan.PlanSheet(0);
  return FitsImage(SizeOf(sheet)) ? PaintImage(plan, sheet, families) : QImage();
}

IoResult<QByteArray> DrawPicture(const VerticalLayout& layout, const PictureStyle& style,
                                 PictureFormat format, const QStringList& families) {
  if (format == PictureFormat::Pdf) return DrawPdf(layout, style, families);
  const DrawingPlan plan = DrawingPlan::Picture(
      layout, style, PictureCell(style.cellSize, style.columnSpacing), PictureFormat::Png);
  const SheetPlan sheet = plan.PlanSheet(0);
  if (!FitsImage(SizeOf(sheet))) return Failure(std::errc::file_too_large);
  const QImage image = PaintImage(plan, sheet, families);
  if (image.isNull()) return Failure(std::errc::not_enough_memory);
  return EncodeGreyPng(image);
}

}  // namespace mirotabe
