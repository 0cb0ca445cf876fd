#include "core/drawing_plan.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <utility>

#include "core/code_points.h"
#include "core/inline_runs.h"
#include "core/ruby_notation.h"

namespace mirotabe {
namespace {

// Grey, so that a picture's lines frame the characters without competing
// with them.
constexpr Rgb kPictureGridColour = 0xA0A0A0;
constexpr double kPictureGridPen = 1;
// A Latin word space stretches by at most this share of a cell before the
// characters of its column are spaced apart: JLReq spreads the spaces of
// Latin words first, and half an em keeps a word apart from the next
// without opening a hole in the column.
constexpr double kMaxSpaceStretch = 0.5;
// Slack under this share of a cell is the rounding of the advances.
constexpr double kNoSlack = 1e-6;

// U+FF01..U+FF5E, which a half-width character U+0021..U+007E set in a
// cell is drawn as; the planned cells view into it.
constexpr auto kFullWidthLatin = [] {
  std::array<char16_t, 0x7E - 0x20> forms{};
  for (std::size_t i = 0; i < forms.size(); ++i) forms[i] = static_cast<char16_t>(0xFF01 + i);
  return forms;
}();

// Whether the column ending at unit `end` of `text` ends its paragraph:
// nothing but spaces lies between it and the line's end.
bool EndsParagraph(std::u16string_view text, std::size_t end) {
  while (end < text.size() && (text[end] == u' ' || text[end] == kBlankCell)) ++end;
  return end >= text.size() || text[end] == u'\r';
}

// The top of each of the `cells` code points of a column whose cells are
// `flowed`, and after them its end: a sideways run's characters at their
// advances, the digits of 縦中横 all at its top.
void RowTops(const std::vector<PlannedCell>& flowed, std::size_t cells, std::vector<double>& tops) {
  tops.clear();
  double end = 0;
  for (const PlannedCell& cell : flowed) {
    if (cell.item != CellItem::kSideways) {
      const std::size_t count = cell.item == CellItem::kTcy ? cell.text.size() : 1;
      tops.insert(tops.end(), count, cell.top);
    } else {
      const double scale =
          cell.text.empty() ? 0 : cell.extent / static_cast<double>(cell.text.size());
      for (std::size_t i = 0; i < cell.text.size(); ++i) {
        tops.push_back(cell.top + scale * static_cast<double>(i));
      }
    }
    end = cell.top + cell.extent;
  }
  tops.resize(cells, end);
  tops.push_back(end);
}

// Blank cells take their room in a column and draw nothing.
// A half-width space that the flow sets at its own width outside a
// sideways run: a word space, blank like a blank cell.
constexpr std::u16string_view kWordSpace = u" ";

// What a cell of the input's half-width Latin shows where the flow sets it
// a character to a cell: its full-width form; for a space, a word space
// under sideways Latin, else a blank cell.
std::u16string_view LatinCellText(char16_t u, const Typesetting& typesetting) {
  if (u != u' ') return {&kFullWidthLatin[u - 0x21], 1};
  return IsSpaceAtItsWidth(u, typesetting) ? kWordSpace : std::u16string_view(&kBlankCell, 1);
}

// The word spaces that `cell` holds.
std::size_t WordSpacesIn(const PlannedCell& cell) {
  if (cell.item == CellItem::kSideways) {
    return static_cast<std::size_t>(std::count(cell.text.begin(), cell.text.end(), u' '));
  }
  return cell.item == CellItem::kGlyphs && cell.text == kWordSpace ? 1 : 0;
}

// Spreads the cells of a full column, which fall `slack` ems short of its
// end, to the end: its word spaces (inside sideways runs and beside them)
// first, by at most kMaxSpaceStretch each, then the rest evenly between
// the cells.
void SpreadToEnd(std::vector<PlannedCell>& out, double slack) {
  std::size_t spaces = 0;
  for (const PlannedCell& cell : out) spaces += WordSpacesIn(cell);
  const double perSpace =
      spaces == 0 ? 0 : std::min(kMaxSpaceStretch, slack / static_cast<double>(spaces));
  slack -= perSpace * static_cast<double>(spaces);
  const double between = out.size() < 2 ? 0 : slack / static_cast<double>(out.size() - 1);
  double moved = 0;
  for (PlannedCell& cell : out) {
    cell.top += moved;
    const auto inside = static_cast<double>(WordSpacesIn(cell));
    if (cell.item == CellItem::kSideways) cell.wordSpacing = perSpace;
    cell.extent += perSpace * inside;
    moved += perSpace * inside + between;
  }
}

// The character of `cell` where it is one set in its vertical form, else 0.
char32_t VerticalCharacterOf(const PlannedCell& cell) {
  if (cell.item != CellItem::kGlyphs || cell.orientation == CellOrientation::kAsItStands ||
      cell.text.empty()) {
    return 0;
  }
  return CodePointAt(cell.text, 0).value;
}

// Moves each punctuation mark of a flowed column that shares a blank half
// with the mark before it (see SharedBlankBetween) that much nearer, and
// the cells after it with it; returns the length the column gave up.
double TightenPunctuation(std::vector<PlannedCell>& cells) {
  double taken = 0;
  char32_t previous = 0;
  for (PlannedCell& cell : cells) {
    const char32_t character = VerticalCharacterOf(cell);
    taken += SharedBlankBetween(previous, character);
    cell.top -= taken;
    previous = character;
  }
  return taken;
}

void DropBlanks(std::vector<PlannedCell>& cells) {
  std::erase_if(cells, [](const PlannedCell& cell) {
    return cell.item == CellItem::kGlyphs &&
           (cell.text.empty() || cell.text == kWordSpace ||
            (cell.text.size() == 1 && cell.text[0] == kBlankCell));
  });
}

// Manuscript paper's ruling, vermilion as printed ones are.
constexpr Rgb kGenkouColour = 0xD95A3A;
constexpr double kGenkouPen = 0.6;

std::vector<std::size_t> Starts(std::size_t total, std::size_t step) {
  std::vector<std::size_t> starts;
  for (std::size_t start = 0; start < total; start += step) starts.push_back(start);
  if (starts.empty()) starts.push_back(0);
  return starts;
}

void AddLine(PaintStep& step, double x1, double y1, double x2, double y2) {
  step.coordinates.insert(step.coordinates.end(), {x1, y1, x2, y2});
}

// The left edge of a picture sheet's column `c`, counted from the sheet's
// leftmost, one cell in from its left edge.
double PictureColumnLeft(CellBox box, std::size_t c) {
  return static_cast<double>(box.width) +
         static_cast<double>(box.ColumnPitch()) * static_cast<double>(c);
}

// The lines round every cell of a sheet whose first cell is one cell in
// from its top-left corner. Where the columns stand apart, the rows are
// ruled across the sheet at once and the paper then cleared between the
// columns: a few strokes a row rather than one a cell, which a large PNG
// feels.
std::vector<PaintStep> PictureGrid(CellBox box, const Sheet& sheet) {
  const double w = box.width;
  const double h = box.height;
  const double right = PictureColumnLeft(box, sheet.columns) - box.columnSpace;
  const double bottom = h + h * static_cast<double>(sheet.rows);
  PaintStep rows{PaintStep::Kind::kLines, kPictureGridColour, kPictureGridPen, {}};
  rows.coordinates.reserve(4 * (sheet.rows + 1));
  for (std::size_t r = 0; r <= sheet.rows; ++r) {
    const double y = h + h * static_cast<double>(r);
    AddLine(rows, w, y, right, y);
  }
  PaintStep columns{PaintStep::Kind::kLines, kPictureGridColour, kPictureGridPen, {}};
  columns.coordinates.reserve(8 * (sheet.columns + 1));
  for (std::size_t c = 0; c <= sheet.columns; ++c) {
    const double x = PictureColumnLeft(box, c);
    if (c != 0 && box.columnSpace != 0)
      AddLine(columns, x - box.columnSpace, h, x - box.columnSpace, bottom);
    if (c != sheet.columns || box.columnSpace == 0) AddLine(columns, x, h, x, bottom);
  }
  if (box.columnSpace == 0 || sheet.columns < 2) return {std::move(rows), std::move(columns)};
  PaintStep spaces{PaintStep::Kind::kRectangles, kPaperColour, 0, {}};
  spaces.coordinates.reserve(4 * sheet.columns);
  const double pen = kPictureGridPen;
  for (std::size_t c = 1; c < sheet.columns; ++c) {
    const double x = PictureColumnLeft(box, c) - box.columnSpace;
    spaces.coordinates.insert(
        spaces.coordinates.end(),
        {x, h - pen, static_cast<double>(box.columnSpace), bottom - h + 2 * pen});
  }
  return {std::move(rows), std::move(spaces), std::move(columns)};
}

// Each column's squares, the frame round both halves and the centre band.
// The rows are ruled across each half at once and the spaces between the
// columns then cleared: some forty strokes a page rather than hundreds,
// which a PDF of thousands of pages feels.
std::vector<PaintStep> GenkouGrid(const PageGeometry& g) {
  const double bottom = g.top + static_cast<double>(g.cellsPerColumn) * g.cell;
  const double space = g.columnPitch - g.cell;
  const std::size_t half = g.columnsPerPage / 2;
  PaintStep rows{PaintStep::Kind::kLines, kGenkouColour, kGenkouPen, {}};
  for (const std::size_t first : {std::size_t{0}, half}) {
    const double right = g.ColumnLeft(first) + g.cell;
    const double left = g.ColumnLeft(first + half - 1);
    for (std::size_t r = 0; r <= g.cellsPerColumn; ++r) {
      const double y = g.top + static_cast<double>(r) * g.cell;
      AddLine(rows, left, y, right, y);
    }
  }
  PaintStep spaces{PaintStep::Kind::kRectangles, kPaperColour, 0, {}};
  const double clear = kGenkouPen / 2;
  for (std::size_t k = 0; k + 1 < g.columnsPerPage; ++k) {
    if (k + 1 == half) continue;
    const double x = g.ColumnLeft(k) - space + clear;
    spaces.coordinates.insert(spaces.coordinates.end(),
                              {x, g.top - clear, space - 2 * clear, bottom - g.top + 2 * clear});
  }
  PaintStep lines{PaintStep::Kind::kLines, kGenkouColour, kGenkouPen, {}};
  for (std::size_t k = 0; k < g.columnsPerPage; ++k) {
    const double left = g.ColumnLeft(k);
    AddLine(lines, left, g.top, left, bottom);
    AddLine(lines, left + g.cell, g.top, left + g.cell, bottom);
  }
  const double right = g.ColumnLeft(0) + g.cell + space / 2;
  const double left = g.ColumnLeft(g.columnsPerPage - 1) - space / 2;
  const double bandRight = g.ColumnLeft(half - 1) - space / 2;
  const double bandLeft = bandRight - g.bandWidth - space;
  for (const double x : {left, right, bandLeft, bandRight}) {
    AddLine(lines, x, g.top - space, x, bottom + space);
  }
  AddLine(lines, left, g.top - space, right, g.top - space);
  AddLine(lines, left, bottom + space, right, bottom + space);
  return {std::move(rows), std::move(spaces), std::move(lines)};
}

}  // namespace

double RubyRoomOver(std::u16string_view neighbour, double rubyCell, BaseSide side) {
  const char32_t c = neighbour.empty() ? kBlankCell : CodePointAt(neighbour, 0).value;
  if (c == kBlankCell) return std::numeric_limits<double>::infinity();
  // The blank half of a mark is half a text cell: one ruby cell.
  if (side == BaseSide::kBefore ? HasBlankAfterInk(c) : HasBlankBeforeInk(c)) return rubyCell;
  const bool kana = (c >= U'\u3041' && c <= U'\u309F') || (c >= U'\u30A0' && c <= U'\u30FF');
  return kana && !IsRubyBaseKanji(c) ? rubyCell / 2 : 0;
}

double RubyTop(const RubyPlace& place) {
  const double excess = static_cast<double>(place.readingCells) * place.rubyCell - place.baseLength;
  double before = excess / 2;
  if (excess > 0) {
    before = std::min(before, place.roomBefore);
    if (excess - before > place.roomAfter) {
      before = std::min(excess - place.roomAfter, place.roomBefore);
    }
  }
  return std::max({place.baseTop - before, place.columnTop, place.free});
}

CellBox PictureCell(int cellSize, double columnSpacing) {
  return CellBox{cellSize, cellSize, static_cast<int>(std::lround(cellSize * columnSpacing))};
}

std::int64_t PictureWidth(CellBox box, std::size_t columns) {
  const auto n = static_cast<std::int64_t>(columns);
  return box.width * (n + 2) + box.columnSpace * std::max<std::int64_t>(0, n - 1);
}

PictureSize PictureSizeOf(const VerticalLayout& layout, CellBox box) {
  return PictureSize{PictureWidth(box, layout.ColumnCount()),
                     box.height * static_cast<std::int64_t>(layout.RowCount() + 2)};
}

std::vector<Sheet> PictureSheets(const VerticalLayout& layout, CellBox box) {
  // The most columns whose sheet, margins and spaces included, fits.
  const std::size_t columnsPerSheet = static_cast<std::size_t>(std::max<std::int64_t>(
      1, (kMaxSheetSide - 2 * std::int64_t{box.width} + box.columnSpace) / box.ColumnPitch()));
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

DrawingPlan DrawingPlan::Picture(const VerticalLayout& layout, const PictureStyle& style,
                                 CellBox box, PictureFormat format) {
  DrawingPlan plan(layout, style);
  plan.box_ = PictureCell(box.width, style.columnSpacing);
  if (format == PictureFormat::Pdf) {
    plan.sheets_ = PictureSheets(layout, plan.box_);
  } else {
    plan.sheets_ = {Sheet{0, layout.RowCount(), 0, layout.ColumnCount()}};
  }
  plan.sheetCount_ = plan.sheets_.size();
  return plan;
}

DrawingPlan DrawingPlan::Pages(const VerticalLayout& layout, const PictureStyle& style,
                               const PageSetup& setup) {
  DrawingPlan plan(layout, style);
  plan.page_ = PageGeometryOf(setup);
  plan.pageNumbers_ = setup.pageNumbers;
  plan.sheetCount_ = PageCount(layout.ColumnCount(), *plan.page_);
  return plan;
}

SheetPlan DrawingPlan::PlanSheet(std::size_t n) const {
  return page_ ? PlanPage(n) : PlanPictureSheet(n);
}

// The cells of a picture's sheet sit on a fixed grid one cell in from its
// corner, a blank margin of one cell all round, the columns the box's space
// apart.
SheetPlan DrawingPlan::PlanPictureSheet(std::size_t n) const {
  const Sheet& sheet = sheets_.at(n);
  SheetPlan plan;
  const double w = box_.width;
  const double h = box_.height;
  plan.width = static_cast<double>(PictureWidth(box_, sheet.columns));
  plan.height = h * static_cast<double>(sheet.rows + 2);
  plan.background = kPaperColour;
  if (style_.grid) plan.beneath = PictureGrid(box_, sheet);
  plan.cellWidth = w;
  plan.cellHeight = h;
  plan.characterSize = w;
  plan.rubyCell = h / 2;
  plan.rubyCharacterSize = w / 2;
  plan.columns.reserve(sheet.columns);
  plan.columnLefts.reserve(sheet.columns);
  for (std::size_t c = sheet.columns; c-- > 0;) {
    plan.columns.push_back(sheet.firstColumn + c);
    plan.columnLefts.push_back(PictureColumnLeft(box_, c));
  }
  plan.firstRow = sheet.firstRow;
  plan.rows = sheet.rows;
  plan.top = h;
  return plan;
}

// The columns stand right to left from the right margin and go on to the
// next page, the rightmost first. A character hung below its column stands
// in the bottom margin.
SheetPlan DrawingPlan::PlanPage(std::size_t n) const {
  const PageGeometry& g = *page_;
  SheetPlan plan;
  plan.width = g.width;
  plan.height = g.height;
  if (g.genkou) plan.beneath = GenkouGrid(g);
  plan.cellWidth = g.cell;
  plan.cellHeight = g.cell;
  plan.characterSize = g.character;
  plan.rubyCell = g.cell / 2;
  plan.rubyCharacterSize = g.character / 2;
  const std::size_t columns = layout_->ColumnCount();
  for (std::size_t k = 0; k < g.columnsPerPage; ++k) {
    const std::size_t read = n * g.columnsPerPage + k;
    if (read >= columns) break;
    plan.columns.push_back(columns - 1 - read);
    plan.columnLefts.push_back(g.ColumnLeft(k));
  }
  plan.rows = layout_->RowCount();
  plan.top = g.top;
  if (pageNumbers_) {
    const std::string number = std::to_string(n + 1);
    plan.pageNumber = PageNumberPlan{std::u16string(number.begin(), number.end()),
                                     0,
                                     g.footTop,
                                     g.width,
                                     g.footBottom - g.footTop,
                                     PageNumberSize(g),
                                     kInkColour};
  }
  return plan;
}

bool DrawingPlan::StartsParagraph(std::size_t column) const {
  const VerticalLayout::ColumnSpan span = layout_->SpanOf(column);
  // A space at a cut belongs to neither column.
  std::size_t at = span.start;
  while (at > 0 && (span.text[at - 1] == u' ' || span.text[at - 1] == kBlankCell)) --at;
  return at == 0 || span.text[at - 1] == u'\n';
}

bool DrawingPlan::Flows() const {
  return layout_->Typeset().On() || (page_ && !page_->genkou);
}

void DrawingPlan::FlowColumn(std::size_t column, std::vector<PlannedCell>& out,
                             std::vector<double>* rowTops) const {
  out.clear();
  const VerticalLayout::ColumnSpan span = layout_->SpanOf(column);
  const Typesetting& typesetting = layout_->Typeset();
  // A space that ends a column takes no room there, as at a line's end.
  std::size_t end = span.end;
  while (typesetting.On() && end > span.start && span.text[end - 1] == u' ') --end;
  double at = 0;
  const auto add = [&](const InlineRun& run) {
    const RunSpacing spacing = SpacingAround(span.text, run, span.start, end);
    at += static_cast<double>(spacing.before) / kEm;
    PlannedCell cell;
    cell.top = at;
    cell.extent = static_cast<double>(RunAdvance(span.text, run, typesetting)) / kEm;
    const std::u16string_view units = span.text.substr(run.start, run.end - run.start);
    if (run.kind == RunKind::kCell) {
      LayoutCell laid = layout_->CellAtUnit(run.start);
      if (laid.text.size() == 1 && IsLatinText(laid.text[0])) {
        laid.text = LatinCellText(laid.text[0], typesetting);
      }
      cell.text = laid.text;
      cell.orientation = OrientationOfCell(laid.text, style_.verticalGlyphs, laid.fromEntry);
    } else {
      cell.item = run.kind == RunKind::kTcy ? CellItem::kTcy : CellItem::kSideways;
      cell.text = units;
    }
    at += cell.extent + static_cast<double>(spacing.after) / kEm;
    out.push_back(cell);
  };
  if (typesetting.On()) {
    ForEachInlineRun(span.text, span.start, end, typesetting, add);
  } else {
    // One cell a code point, as the grid has them.
    for (std::size_t r = 0; r < span.cells; ++r) {
      const LayoutCell laid = layout_->CellAt(r, column);
      out.push_back(PlannedCell{CellItem::kGlyphs, 0, at, laid.text,
                                OrientationOfCell(laid.text, style_.verticalGlyphs, laid.fromEntry),
                                1, 0});
      at += 1;
    }
  }
  // Pages set as books are set; pictures and 原稿用紙 keep a mark to a cell.
  if (page_ && !page_->genkou) at -= TightenPunctuation(out);
  const double slack = static_cast<double>(layout_->ColumnLength()) - at;
  const bool spread = page_ && !page_->genkou && slack > kNoSlack &&
                      (out.size() >= 2 || (out.size() == 1 && WordSpacesIn(out[0]) != 0)) &&
                      !EndsParagraph(span.text, span.end);
  if (spread) SpreadToEnd(out, slack);
  if (rowTops != nullptr) RowTops(out, span.cells, *rowTops);
  DropBlanks(out);
}

}  // namespace mirotabe
