#include "render/page_pdf.h"

#include <QLineF>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <cmath>
#include <system_error>

#include "render/cell_painter.h"
#include "render/layout_picture.h"
#include "render/pane_font_families.h"

namespace mirotabe {
namespace {

// Device units per point: a tenth of a point places the cells finely.
constexpr double kUnits = 10;
// Manuscript paper's ruling, vermilion as printed ones are.
constexpr QRgb kGenkouColor = qRgb(0xD9, 0x5A, 0x3A);
constexpr double kGenkouLinePoints = 0.6;

QLineF Line(double x1, double y1, double x2, double y2) {
  return QLineF(x1 * kUnits, y1 * kUnits, x2 * kUnits, y2 * kUnits);
}

// Each column's squares, the frame round both halves and the centre band.
// The rows are ruled across each half at once and the spaces between the
// columns then cleared: some forty strokes a page rather than hundreds,
// which a PDF of thousands of pages feels.
void DrawGenkouGrid(QPainter& painter, const PageGeometry& g) {
  const double bottom = g.top + static_cast<double>(g.cellsPerColumn) * g.cell;
  const double space = g.columnPitch - g.cell;
  const std::size_t half = g.columnsPerPage / 2;
  QList<QLineF> rows;
  for (const std::size_t first : {std::size_t{0}, half}) {
    const double right = g.ColumnLeft(first) + g.cell;
    const double left = g.ColumnLeft(first + half - 1);
    for (std::size_t r = 0; r <= g.cellsPerColumn; ++r) {
      const double y = g.top + static_cast<double>(r) * g.cell;
      rows.push_back(Line(left, y, right, y));
    }
  }
  const QPen pen(QColor(kGenkouColor), kGenkouLinePoints * kUnits);
  painter.setPen(pen);
  painter.drawLines(rows);
  painter.setPen(Qt::NoPen);
  painter.setBrush(Qt::white);
  QList<QRectF> spaces;
  const double clear = kGenkouLinePoints / 2;
  for (std::size_t k = 0; k + 1 < g.columnsPerPage; ++k) {
    if (k + 1 == half) continue;
    const double x = g.ColumnLeft(k) - space + clear;
    spaces.push_back(QRectF(x * kUnits, (g.top - clear) * kUnits, (space - 2 * clear) * kUnits,
                            (bottom - g.top + 2 * clear) * kUnits));
  }
  painter.drawRects(spaces);
  painter.setBrush(Qt::NoBrush);
  painter.setPen(pen);
  QList<QLineF> lines;
  for (std::size_t k = 0; k < g.columnsPerPage; ++k) {
    const double left = g.ColumnLeft(k);
    lines.push_back(Line(left, g.top, left, bottom));
    lines.push_back(Line(left + g.cell, g.top, left + g.cell, bottom));
  }
  const double right = g.ColumnLeft(0) + g.cell + space / 2;
  const double left = g.ColumnLeft(g.columnsPerPage - 1) - space / 2;
  const double bandRight = g.ColumnLeft(half - 1) - space / 2;
  const double bandLeft = bandRight - g.bandWidth - space;
  for (const double x : {left, right, bandLeft, bandRight}) {
    lines.push_back(Line(x, g.top - space, x, bottom + space));
  }
  lines.push_back(Line(left, g.top - space, right, g.top - space));
  lines.push_back(Line(left, bottom + space, right, bottom + space));
  painter.drawLines(lines);
}

void DrawPageNumber(QPainter& painter, const PageGeometry& g, std::size_t page) {
  QFont font(PaneFontFamilies().front());
  font.setFamilies(PaneFontFamilies());
  font.setPixelSize(std::max(1, static_cast<int>(std::lround(g.cell * 0.8 * kUnits))));
  painter.setFont(font);
  painter.setPen(Qt::black);
  const double bottom = g.top + static_cast<double>(g.cellsPerColumn + 1) * g.cell;
  const QRectF margin(0, bottom * kUnits, g.width * kUnits, (g.height - bottom) * kUnits);
  painter.drawText(margin, Qt::AlignCenter, QString::number(page + 1));
}

}  // namespace

IoStatus WritePagedPdf(const VerticalLayout& layout, const PictureStyle& style,
                       const PageSetup& setup, QIODevice& out) {
  const PageGeometry g = PageGeometryOf(setup);
  QPdfWriter writer(&out);
  writer.setCreator(QStringLiteral("Mirotabe"));
  writer.setResolution(static_cast<int>(72 * kUnits));
  writer.setPageMargins(QMarginsF(0, 0, 0, 0));
  writer.setPageSize(
      QPageSize(QSizeF(g.width, g.height), QPageSize::Point, QString(), QPageSize::ExactMatch));
  QPainter painter;
  if (!painter.begin(&writer)) return IoError{{}, std::make_error_code(std::errc::io_error)};
  const int cellUnits = std::max(1, static_cast<int>(std::lround(g.cell * kUnits)));
  CellPainter cells(FontForCell(cellUnits), CellBox{cellUnits, cellUnits}, style.verticalGlyphs,
                    CellTarget::kDocument);
  const std::size_t columns = layout.ColumnCount();
  const std::size_t pages = PageCount(columns, g);
  for (std::size_t page = 0; page < pages; ++page) {
    if (page != 0) writer.newPage();
    if (g.genkou) DrawGenkouGrid(painter, g);
    painter.setPen(Qt::black);
    for (std::size_t k = 0; k < g.columnsPerPage; ++k) {
      const std::size_t read = page * g.columnsPerPage + k;
      if (read >= columns) break;
      const std::size_t column = columns - 1 - read;
      const double left = g.ColumnLeft(k) * kUnits;
      for (std::size_t row = 0; row < layout.RowCount(); ++row) {
        const double top = (g.top + static_cast<double>(row) * g.cell) * kUnits;
        cells.Place(painter, layout.Cell(row, column), QPointF(left, top));
      }
    }
    cells.Flush(painter);
    if (setup.pageNumbers) DrawPageNumber(painter, g, page);
  }
  if (!painter.end()) return IoError{{}, std::make_error_code(std::errc::io_error)};
  return std::nullopt;
}

}  // namespace mirotabe
