#include "core/vertical_layout.h"

#include <algorithm>

#include "core/code_points.h"

namespace mirotabe {
namespace {

constexpr std::u16string_view kBlank = u"\u3000";

// Pieces of text handed out for streaming hold about this many units, and
// at least a block's rows.
constexpr std::size_t kPieceUnits = std::size_t{128} * 1024;
constexpr std::size_t kMinPieceRows = 8;

}  // namespace

std::u16string_view VerticalLayout::CellOf(const Column& column, std::size_t row) const {
  if (row >= column.cells) return kBlank;
  const std::size_t unit = UnitOf(column, row);
  // Every cell is one unit here, though a replaced cell and its neighbour
  // may now read as a surrogate pair.
  if (replacedInPlace_) return std::u16string_view(prepared_).substr(unit, 1);
  const CodePoint c = CodePointAt(prepared_, unit);
  if (const auto replaced = replacements_.Find(c.value)) return *replaced;
  return std::u16string_view(prepared_).substr(unit, c.units);
}

LayoutCell VerticalLayout::CellAt(std::size_t row, std::size_t column) const {
  const Column& at = columns_[columns_.size() - 1 - column];
  if (row >= at.cells) return {kBlank, false};
  return CellAtUnit(UnitOf(at, row));
}

LayoutCell VerticalLayout::CellAtUnit(std::size_t unit) const {
  const bool written = !written_.empty() && written_.Contains(unit);
  if (replacedInPlace_) {
    const char16_t cell = prepared_[unit];
    const bool made = replacements_.IsOutput(cell) &&
                      !(replacements_.IsStandingOutput(cell) &&
                        std::binary_search(standingOutputs_.begin(), standingOutputs_.end(), unit));
    return {std::u16string_view(prepared_).substr(unit, 1), written || made};
  }
  const CodePoint c = CodePointAt(prepared_, unit);
  if (const auto replaced = replacements_.Find(c.value)) return {*replaced, true};
  return {std::u16string_view(prepared_).substr(unit, c.units), written};
}

VerticalLayout::ColumnSpan VerticalLayout::SpanOf(std::size_t column) const {
  const Column& at = columns_[columns_.size() - 1 - column];
  if (at.cells == 0) return {prepared_, at.start, at.start, 0};
  const std::size_t last = UnitOf(at, at.cells - 1);
  return {prepared_, at.start, last + CodePointAt(prepared_, last).units, at.cells};
}

std::size_t VerticalLayout::ColumnsBeforeLine(std::size_t line) const {
  if (lineColumns_.empty()) return line;
  const std::size_t lines = lineColumns_.size();
  return line <= lines ? lineColumns_.Before(line) : lineColumns_.Total() + (line - lines);
}

std::optional<CellPosition> VerticalLayout::PlaceOf(std::size_t line, std::size_t cell) const {
  const std::size_t count = ColumnCount();
  if (count == 0) return std::nullopt;
  std::size_t index = ColumnsBeforeLine(line) * spacing_;
  const std::size_t segments = line < lineColumns_.size() ? lineColumns_[line] : std::size_t{1};
  if (index < count) {
    // A line's columns need not meet: a space at a cut belongs to none, so
    // each column's first cell is measured from the line's first.
    const Column& first = columns_[index];
    const auto startOf = [&first](const Column& column) {
      return column.offsetsAt == kNoOffsets ? column.start - first.start
                                            : column.offsetsAt - first.offsetsAt;
    };
    std::size_t start = 0;
    for (std::size_t segment = 1; segment < segments && index + spacing_ < count; ++segment) {
      const Column& next = columns_[index + spacing_];
      if (cell < startOf(next)) break;
      index += spacing_;
      start = startOf(next);
    }
    cell -= start;
  }
  return CellPosition{std::min(cell, rows_ - 1), count - 1 - std::min(index, count - 1)};
}

std::size_t VerticalLayout::CellOfUnit(const Column& column, std::size_t unit) const {
  if (column.offsetsAt == kNoOffsets) return unit - column.start;
  const auto first = unitOffsets_.begin() + static_cast<std::ptrdiff_t>(column.offsetsAt);
  const auto found = std::upper_bound(first, first + static_cast<std::ptrdiff_t>(column.cells),
                                      static_cast<std::uint32_t>(unit));
  return static_cast<std::size_t>(found - first) - 1;
}

std::vector<ColumnRuby> VerticalLayout::RubyOf(std::size_t column) const {
  std::vector<ColumnRuby> found;
  if (ruby_.spans.empty() || column >= columns_.size()) return found;
  const Column& at = columns_[columns_.size() - 1 - column];
  if (at.cells == 0) return found;
  const std::size_t end = UnitOf(at, at.cells - 1) + 1;
  auto span =
      std::lower_bound(ruby_.spans.begin(), ruby_.spans.end(), at.start,
                       [](const RubySpan& s, std::size_t unit) { return s.baseBegin < unit; });
  const std::u16string_view readings = ruby_.readings;
  for (; span != ruby_.spans.end() && span->baseBegin < end; ++span) {
    const std::size_t first = CellOfUnit(at, span->baseBegin);
    const std::size_t last =
        span->baseEnd <= end ? CellOfUnit(at, span->baseEnd - 1) : at.cells - 1;
    found.push_back(
        ColumnRuby{first, last + 1 - first,
                   readings.substr(span->readingBegin, span->readingEnd - span->readingBegin)});
  }
  return found;
}

std::u16string_view VerticalLayout::Cell(std::size_t row, std::size_t column) const {
  return CellOf(columns_[columns_.size() - 1 - column], row);
}

void VerticalLayout::AppendRow(std::size_t row, std::u16string& out) const {
  for (auto column = columns_.rbegin(); column != columns_.rend(); ++column) {
    out.append(CellOf(*column, row));
  }
}

VerticalLayout::GridForm VerticalLayout::TextForm() const {
  return GridForm{prepared_.data(), kBlankCell, kLineBreak};
}

std::u16string VerticalLayout::Text() const {
  if (rows_ == 0) return {};
  if (IsGrid()) {
    const GridForm form = TextForm();
    std::u16string out(rows_ * GridStride(form) - kLineBreak.size(), kBlankCell);
    FillGridRows(0, rows_, out.data(), true, form);
    return out;
  }
  std::u16string out;
  for (std::size_t row = 0; row < rows_; ++row) {
    if (row != 0) out.append(kLineBreak);
    AppendRow(row, out);
  }
  return out;
}

bool VerticalLayout::ForEachGridPiece(const GridForm& form,
                                      const std::function<bool(std::u16string_view)>& sink) const {
  const std::size_t stride = GridStride(form);
  // At least a block's rows: a piece of one row of a text of many lines
  // would read a cache line of each column for each cell.
  const std::size_t band = std::min(rows_, std::max(kPieceUnits / stride, kMinPieceRows));
  std::u16string piece(band * stride, form.blank);
  for (std::size_t row = 0; row < rows_; row += band) {
    const std::size_t end = std::min(rows_, row + band);
    FillGridRows(row, end, piece.data(), false, form);
    const std::size_t size = (end - row) * stride - (end == rows_ ? form.lineBreak.size() : 0);
    if (!sink(std::u16string_view(piece).substr(0, size))) return false;
  }
  return true;
}

bool VerticalLayout::ForEachTextPiece(const PieceSink& sink) const {
  if (rows_ == 0) return true;
  if (IsGrid()) return ForEachGridPiece(TextForm(), sink);
  std::u16string piece;
  for (std::size_t row = 0; row < rows_; ++row) {
    if (row != 0) piece.append(kLineBreak);
    AppendRow(row, piece);
    if (piece.size() >= kPieceUnits || row + 1 == rows_) {
      if (!sink(piece)) return false;
      piece.clear();
    }
  }
  return true;
}

}  // namespace mirotabe
