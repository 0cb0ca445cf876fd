#include "render/page_pdf.h"

#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <system_error>

#include "core/drawing_plan.h"
#include "render/sheet_painter.h"

namespace mirotabe {
namespace {

// Device units per point: a tenth of a point places the cells finely.
constexpr double kUnits = 10;

}  // namespace

IoStatus WritePagedPdf(const VerticalLayout& layout, const PictureStyle& style,
                       const PageSetup& setup, QIODevice& out) {
  const DrawingPlan plan = DrawingPlan::Pages(layout, style, setup);
  QPdfWriter writer(&out);
  writer.setCreator(QStringLiteral("Mirotabe"));
  writer.setResolution(static_cast<int>(72 * kUnits));
  writer.setPageMargins(QMarginsF(0, 0, 0, 0));
  SheetPlan page = plan.PlanSheet(0);
  writer.setPageSize(QPageSize(QSizeF(page.width, page.height), QPageSize::Point, QString(),
                               QPageSize::ExactMatch));
  QPainter painter;
  if (!painter.begin(&writer)) return IoError{{}, std::make_error_code(std::errc::io_error)};
  SheetPainter pages(plan, kUnits, CellTarget::kDocument);
  for (std::size_t n = 0; n < plan.SheetCount(); ++n) {
    if (n != 0) {
      page = plan.PlanSheet(n);
      writer.newPage();
    }
    pages.Paint(painter, page);
  }
  if (!painter.end()) return IoError{{}, std::make_error_code(std::errc::io_error)};
  return std::nullopt;
}

}  // namespace mirotabe
