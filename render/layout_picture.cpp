#include "render/layout_picture.h"

#include <QBuffer>
#include <QFont>
#include <QFontDatabase>
#include <QGlyphRun>
#include <QLine>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRawFont>
#include <algorithm>
#include <cmath>
#include <string>
#include <system_error>

#include "render/cell_painter.h"
#include "render/pane_font_families.h"
#include "render/png_encoding.h"

namespace mirotabe {
namespace {

constexpr char16_t kIdeographicSpace = u'\u3000';
// Grey, so that the lines frame the characters without competing with them.
constexpr QRgb kGridColor = qRgb(0xA0, 0xA0, 0xA0);

QFont CellFont(int pixelSize) {
  QFont font(PaneFontFamilies().front());
  font.setFamilies(PaneFontFamilies());
  font.setStyleHint(QFont::Monospace);
  font.setFixedPitch(true);
  font.setPixelSize(std::max(1, pixelSize));
  return font;
}

std::vector<std::size_t> Starts(std::size_t total, std::size_t step) {
  std::vector<std::size_t> starts;
  for (std::size_t start = 0; start < total; start += step) starts.push_back(start);
  if (starts.empty()) starts.push_back(0);
  return starts;
}

// Draws the cells of one sheet, its top-left margin corner at (0, 0).
class SheetPainter {
 public:
  SheetPainter(const PictureStyle& style, CellTarget target)
      : style_(style),
        box_(MeasureCell(style.cellSize)),
        cells_(FontForCell(style.cellSize), box_, style.verticalGlyphs, target) {}

  void Draw(QPainter& painter, const VerticalLayout& layout, const Sheet& sheet) {
    painter.fillRect(QRectF(0, 0, static_cast<qreal>(box_.width * (sheet.columns + 2)),
                            static_cast<qreal>(box_.height * (sheet.rows + 2))),
                     Qt::white);
    if (style_.grid) DrawGrid(painter, sheet);
    painter.setPen(Qt::black);
    // In reading order, the rightmost column first, so that the text of a
    // PDF reads as the columns do.
    for (std::size_t c = sheet.columns; c-- > 0;) {
      const qreal left = static_cast<qreal>(box_.width) * static_cast<qreal>(c + 1);
      for (std::size_t r = 0; r < sheet.rows; ++r) {
        const qreal top = static_cast<qreal>(box_.height) * static_cast<qreal>(r + 1);
        cells_.Place(painter, layout.Cell(sheet.firstRow + r, sheet.firstColumn + c),
                     QPointF(left, top));
      }
    }
    cells_.Flush(painter);
  }

 private:
  void DrawGrid(QPainter& painter, const Sheet& sheet) const {
    const int left = box_.width;
    const int top = box_.height;
    const int right = left + box_.width * static_cast<int>(sheet.columns);
    const int bottom = top + box_.height * static_cast<int>(sheet.rows);
    QList<QLine> lines;
    for (std::size_t c = 0; c <= sheet.columns; ++c) {
      const int x = left + box_.width * static_cast<int>(c);
      lines.push_back(QLine(x, top, x, bottom));
    }
    for (std::size_t r = 0; r <= sheet.rows; ++r) {
      const int y = top + box_.height * static_cast<int>(r);
      lines.push_back(QLine(left, y, right, y));
    }
    painter.setPen(QPen(QColor(kGridColor), 1));
    painter.drawLines(lines);
  }

  PictureStyle style_;
  CellBox box_;
  CellPainter cells_;
};

Sheet WholeLayout(const VerticalLayout& layout) {
  return Sheet{0, layout.RowCount(), 0, layout.ColumnCount()};
}

IoError Failure(std::errc code) {
  return IoError{std::string(), std::make_error_code(code)};
}

IoResult<QByteArray> DrawPdf(const VerticalLayout& layout, const PictureStyle& style) {
  const CellBox box = MeasureCell(style.cellSize);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QPdfWriter writer(&buffer);
  writer.setCreator(QStringLiteral("Mirotabe"));
  // One point to a pixel, so that the pages measure like the PNG.
  writer.setResolution(72);
  const auto pageSize = [&](const Sheet& sheet) {
    return QPageSize(QSizeF(static_cast<qreal>(box.width * (sheet.columns + 2)),
                            static_cast<qreal>(box.height * (sheet.rows + 2))),
                     QPageSize::Point, QString(), QPageSize::ExactMatch);
  };
  const std::vector<Sheet> sheets = PdfSheets(layout, style);
  writer.setPageMargins(QMarginsF(0, 0, 0, 0));
  writer.setPageSize(pageSize(sheets.front()));
  QPainter painter;
  if (!painter.begin(&writer)) return Failure(std::errc::io_error);
  SheetPainter cells(style, CellTarget::kDocument);
  for (std::size_t n = 0; n < sheets.size(); ++n) {
    if (n != 0) {
      writer.setPageSize(pageSize(sheets[n]));
      writer.newPage();
    }
    cells.Draw(painter, layout, sheets[n]);
  }
  if (!painter.end()) return Failure(std::errc::io_error);
  return bytes;
}

}  // namespace

QFont FontForCell(int cellSize) {
  const QFont probe = CellFont(cellSize);
  const QRawFont raw = QRawFont::fromFont(probe, QFontDatabase::Japanese);
  if (!raw.isValid()) return probe;
  const QList<quint32> glyph = raw.glyphIndexesForString(QString(QChar(kIdeographicSpace)));
  if (glyph.isEmpty() || glyph.front() == 0) return probe;
  const qreal advance = raw.advancesForGlyphIndexes(glyph).front().x();
  if (advance <= 0 || std::abs(advance - cellSize) < 0.5) return probe;
  return CellFont(static_cast<int>(std::lround(cellSize * cellSize / advance)));
}

CellBox MeasureCell(int cellSize) {
  const QRawFont raw = QRawFont::fromFont(FontForCell(cellSize), QFontDatabase::Japanese);
  if (!raw.isValid()) return CellBox{cellSize, cellSize};
  const qreal line = raw.ascent() + raw.descent() + raw.leading();
  return CellBox{cellSize, std::max(cellSize / 2, static_cast<int>(std::ceil(line - 0.01)))};
}

PictureSize ImageSize(const VerticalLayout& layout, const PictureStyle& style) {
  const CellBox box = MeasureCell(style.cellSize);
  return PictureSize{box.width * static_cast<std::int64_t>(layout.ColumnCount() + 2),
                     box.height * static_cast<std::int64_t>(layout.RowCount() + 2)};
}

std::vector<Sheet> PdfSheets(const VerticalLayout& layout, const PictureStyle& style) {
  const CellBox box = MeasureCell(style.cellSize);
  const std::size_t columnsPerSheet =
      static_cast<std::size_t>(std::max<std::int64_t>(1, kMaxSheetSide / box.width - 2));
  const std::size_t rowsPerSheet =
      static_cast<std::size_t>(std::max<std::int64_t>(1, kMaxSheetSide / box.height - 2));
  const std::size_t columns = layout.ColumnCount();
  const std::size_t rows = layout.RowCount();
  std::vector<Sheet> sheets;
  // Column 0 is the leftmost, the last line: bands are cut from the right.
  for (const std::size_t fromRight : Starts(columns, columnsPerSheet)) {
    const std::size_t width = std::min(columnsPerSheet, columns - fromRight);
    for (const std::size_t top : Starts(rows, rowsPerSheet)) {
      sheets.push_back(
          Sheet{top, std::min(rowsPerSheet, rows - top), columns - fromRight - width, width});
    }
  }
  return sheets;
}

QImage DrawImage(const VerticalLayout& layout, const PictureStyle& style) {
  const PictureSize size = ImageSize(layout, style);
  if (!FitsImage(size)) return {};
  // Grey levels are all a black-on-white picture needs, at a quarter of
  // the memory and encoding time of colour.
  QImage image(static_cast<int>(size.width), static_cast<int>(size.height),
               QImage::Format_Grayscale8);
  if (image.isNull()) return image;
  QPainter painter(&image);
  SheetPainter(style, CellTarget::kScreen).Draw(painter, layout, WholeLayout(layout));
  return image;
}

IoResult<QByteArray> DrawPicture(const VerticalLayout& layout, const PictureStyle& style,
                                 PictureFormat format) {
  if (format == PictureFormat::Pdf) return DrawPdf(layout, style);
  if (!FitsImage(ImageSize(layout, style))) return Failure(std::errc::file_too_large);
  const QImage image = DrawImage(layout, style);
  if (image.isNull()) return Failure(std::errc::not_enough_memory);
  return EncodeGreyPng(image);
}

}  // namespace mirotabe
