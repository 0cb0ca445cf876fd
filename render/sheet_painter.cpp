#include "render/sheet_painter.h"

#include <QColor>
#include <QLineF>
#include <QList>
#include <QPainter>
#include <QPen>
#include <QRectF>
#include <algorithm>
#include <cmath>
#include <utility>

#include "render/cell_font.h"

namespace mirotabe {
namespace {

QColor ColourOf(Rgb rgb) {
  return QColor(static_cast<int>((rgb >> 16) & 0xFF), static_cast<int>((rgb >> 8) & 0xFF),
                static_cast<int>(rgb & 0xFF));
}

void PaintStepWith(QPainter& painter, const PaintStep& step, double scale) {
  const std::vector<double>& at = step.coordinates;
  if (step.kind == PaintStep::Kind::kLines) {
    QList<QLineF> lines;
    lines.reserve(static_cast<qsizetype>(at.size() / 4));
    for (std::size_t i = 0; i + 3 < at.size(); i += 4) {
      lines.push_back(
          QLineF(at[i] * scale, at[i + 1] * scale, at[i + 2] * scale, at[i + 3] * scale));
    }
    painter.setPen(QPen(ColourOf(step.colour), step.penWidth * scale));
    painter.drawLines(lines);
    return;
  }
  QList<QRectF> rectangles;
  rectangles.reserve(static_cast<qsizetype>(at.size() / 4));
  for (std::size_t i = 0; i + 3 < at.size(); i += 4) {
    rectangles.push_back(
        QRectF(at[i] * scale, at[i + 1] * scale, at[i + 2] * scale, at[i + 3] * scale));
  }
  painter.setPen(Qt::NoPen);
  painter.setBrush(ColourOf(step.colour));
  painter.drawRects(rectangles);
  painter.setBrush(Qt::NoBrush);
}

void PaintPageNumber(QPainter& painter, const PageNumberPlan& number, double scale,
                     const QStringList& families) {
  QFont font(families.front());
  font.setFamilies(families);
  font.setPixelSize(std::max(1, static_cast<int>(std::lround(number.characterSize * scale))));
  painter.setFont(font);
  painter.setPen(ColourOf(number.colour));
  const QRectF box(number.left * scale, number.top * scale, number.width * scale,
                   number.height * scale);
  painter.drawText(box, Qt::AlignCenter, QString::fromStdU16String(number.text));
}

}  // namespace

SheetPainter::SheetPainter(const DrawingPlan& plan, double scale, CellTarget target,
                           QStringList families)
    : plan_(plan), scale_(scale), target_(target), families_(std::move(families)) {}

SheetPainter::~SheetPainter() = default;

bool SheetPainter::BeginMark(QPainter& painter, ContentMarks::Kind kind, bool when) {
  if (marks_ == nullptr || !when) return false;
  marks_->Begin(painter, kind);
  return true;
}

void SheetPainter::EndMark(QPainter& painter, bool begun) {
  if (begun) marks_->End(painter);
}

std::size_t SheetPainter::MarkColumn(QPainter& painter, const SheetPlan& sheet, std::size_t column,
                                     double left) {
  // The glyphs queued are the column's before.
  cells_->Flush(painter);
  const std::size_t count = sheet.columns.size();
  if (column != count) marks_->End(painter);
  std::size_t next = column == count ? 0 : column + 1;
  while (next < count && sheet.columnLefts[next] != left) ++next;
  const bool starts = next == count || plan_.StartsParagraph(sheet.columns[next]);
  marks_->Begin(painter,
                starts ? ContentMarks::Kind::kParagraph : ContentMarks::Kind::kParagraphGoesOn);
  return next;
}

void SheetPainter::Paint(QPainter& painter, const SheetPlan& sheet) {
  if (!cells_) {
    const CellBox box{std::max(1, static_cast<int>(std::lround(sheet.cellWidth * scale_))),
                      std::max(1, static_cast<int>(std::lround(sheet.cellHeight * scale_)))};
    const int character = std::max(1, static_cast<int>(std::lround(sheet.characterSize * scale_)));
    cells_ = std::make_unique<CellPainter>(FontForCell(character, families_), box, target_);
    cells_->LogGlyphTexts(log_);
    cells_->MarkContent(marks_);
  }
  const bool ruled = BeginMark(painter, ContentMarks::Kind::kArtifact,
                               sheet.background.has_value() || !sheet.beneath.empty());
  if (sheet.background) {
    painter.fillRect(QRectF(0, 0, sheet.width * scale_, sheet.height * scale_),
                     ColourOf(*sheet.background));
  }
  for (const PaintStep& step : sheet.beneath) PaintStepWith(painter, step, scale_);
  EndMark(painter, ruled);
  painter.setPen(ColourOf(sheet.ink));
  const std::size_t none = sheet.columns.size();
  std::size_t column = none;
  plan_.ForEachCell(sheet, [&](const PlannedCell& cell) {
    if (marks_ != nullptr && (column == none || sheet.columnLefts[column] != cell.left)) {
      column = MarkColumn(painter, sheet, column, cell.left);
    }
    const QPointF topLeft(cell.left * scale_, cell.top * scale_);
    switch (cell.item) {
      case CellItem::kGlyphs:
        cells_->Place(painter, cell.text, cell.orientation, topLeft);
        break;
      case CellItem::kTcy:
        cells_->PlaceTcy(painter, cell.text, topLeft);
        break;
      case CellItem::kSideways:
        cells_->PlaceSideways(painter, cell.text, topLeft, cell.wordSpacing * scale_);
        break;
    }
  });
  cells_->Flush(painter);
  EndMark(painter, column != none);
  // The readings are no part of the text: in a PDF, glyphs that stand
  // for no text at all, which a search or a copy passes over.
  bool readings = false;
  plan_.ForEachRubyCell(sheet, [&](const PlannedCell& cell) {
    if (!readings && BeginMark(painter, ContentMarks::Kind::kArtifact)) {
      readings = true;
      marks_->Begin(painter, ContentMarks::Kind::kReplacedText);
    }
    if (!ruby_) {
      const int side = std::max(1, static_cast<int>(std::lround(sheet.rubyCell * scale_)));
      const int character =
          std::max(1, static_cast<int>(std::lround(sheet.rubyCharacterSize * scale_)));
      ruby_ = std::make_unique<CellPainter>(FontForCell(character, families_), CellBox{side, side},
                                            target_);
      // The readings' glyphs are numbered in the fonts they share with
      // the text, so the log counts them too.
      ruby_->LogGlyphTexts(log_);
    }
    ruby_->Place(painter, cell.text, cell.orientation,
                 QPointF(cell.left * scale_, cell.top * scale_));
  });
  if (ruby_) ruby_->Flush(painter);
  if (readings) {
    marks_->End(painter);
    marks_->End(painter);
  }
  if (sheet.pageNumber) {
    const bool numbered = BeginMark(painter, ContentMarks::Kind::kPageNumber);
    PaintPageNumber(painter, *sheet.pageNumber, scale_, families_);
    EndMark(painter, numbered);
  }
}

}  // namespace mirotabe
