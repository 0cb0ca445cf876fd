#include "render/page_pdf.h"

#include <QBuffer>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <system_error>
#include <utility>

#include "core/drawing_plan.h"
#include "render/document_painting.h"
#include "render/pdf_tags.h"
#include "render/sheet_painter.h"
#include "render/typefaces.h"

namespace mirotabe {
namespace {

// Device units per point: a tenth of a point places the cells finely.
constexpr double kUnits = 10;
constexpr qsizetype kBlock = 16384;

}  // namespace

IoStatus WritePagedPdf(const VerticalLayout& layout, const PictureStyle& style,
                       const PageSetup& setup, QIODevice& out,
                       const std::optional<QStringList>& families) {
  const DrawingPlan plan = DrawingPlan::Pages(layout, style, setup);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QPdfWriter writer(&buffer);
  writer.setCreator(QStringLiteral("Mirotabe"));
  writer.setResolution(static_cast<int>(72 * kUnits));
  writer.setPageMargins(QMarginsF(0, 0, 0, 0));
  SheetPlan page = plan.PlanSheet(0);
  writer.setPageSize(QPageSize(QSizeF(page.width, page.height), QPageSize::Point, QString(),
                               QPageSize::ExactMatch));
  GlyphTextLog texts;
  ContentMarks marks;
  const IoStatus painted = PaintDocument(writer, [&](QPainter& painter) {
    SheetPainter pages(plan, kUnits, CellTarget::kDocument,
                       families.value_or(TypefaceFamilies(setup.face)));
    pages.LogGlyphTexts(&texts);
    pages.MarkContent(&marks);
    for (std::size_t n = 0; n < plan.SheetCount(); ++n) {
      if (n != 0) {
        page = plan.PlanSheet(n);
        writer.newPage();
      }
      pages.Paint(painter, page);
    }
  });
  if (painted.failed()) return painted.error();
  buffer.close();
  const QByteArray finished = CompletedPdf(std::move(bytes), texts, marks);
  // Written a block at a time, as the PDF writer writes: a device that
  // refuses the bytes (a file past the size limit, a full disk) keeps its
  // own error, which the caller's commit or flush reports.
  for (qsizetype at = 0; at < finished.size(); at += kBlock) {
    if (out.write(finished.constData() + at, std::min(kBlock, finished.size() - at)) < 0) break;
  }
  return std::nullopt;
}

}  // namespace mirotabe
