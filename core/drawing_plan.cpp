#include "core/drawing_plan.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <utility>

#include "core/code_points.h"
#include "core/inline_runs.h"
#include "core/ruby_notation.h"
#include "core/ruby_spacing.h"

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

bool IsBlank(const PlannedCell& cell) {
  return cell.item == CellItem::kGlyphs && (cell.text.empty() || cell.text == kWordSpace ||
                                            (cell.text.size() == 1 && cell.text[0] == kBlankCell));
}

void DropBlanks(std::vector<PlannedCell>& cells) {
  std::erase_if(cells, IsBlank);
}

// The share of a text cell that a reading's character takes.
constexpr double kRubyShare = static_cast<double>(kRubyAdvance) / kEm;

// The flowed cells [first, end) that a base of ruby was set in, and the
// space it was given before and after them.
struct BaseCells {
  std::size_t first = 0;
  std::size_t end = 0;
  double before = 0;
  double after = 0;
};

// The cells of `cells` (a column's, blanks kept) that hold each base of
// `readings`; a base found in none has first == end == cells.size().
std::vector<BaseCells> CellsOfBases(const std::vector<PlannedCell>& cells,
                                    const std::vector<ColumnRuby>& readings) {
  // The cell that holds each of the column's code points: 縦中横 and a
  // sideways run hold one of their letters each.
  std::vector<std::size_t> cellOfRow;
  for (std::size_t i = 0; i < cells.size(); ++i) {
    const std::size_t rows = cells[i].item == CellItem::kGlyphs ? 1 : cells[i].text.size();
    cellOfRow.insert(cellOfRow.end(), rows, i);
  }
  std::vector<BaseCells> bases(readings.size(), BaseCells{cells.size(), cells.size()});
  for (std::size_t k = 0; k < readings.size(); ++k) {
    const ColumnRuby& ruby = readings[k];
    if (ruby.rows == 0 || ruby.firstRow >= cellOfRow.size()) continue;
    bases[k].first = cellOfRow[ruby.firstRow];
    bases[k].end = cellOfRow[std::min(ruby.firstRow + ruby.rows, cellOfRow.size()) - 1] + 1;
  }
  return bases;
}

double EndOf(const PlannedCell& cell) {
  return cell.top + cell.extent;
}

// Where a column that ends its paragraph ends: the blank below its last
// cell is open to a reading. 0: the column's text fills it, and a base at
// its end keeps that end.
using OpenEnd = double;

// How far the reading of base `k` of `bases`, set in `cells`, may run past
// it and the space it was given on `side`: over the blank between it and
// the cell beside it, and over that cell as far as RubyRoomOver lets it,
// but never past that cell; not at all past the column's head, nor its
// end but an open one, nor over a base right beside it, whose reading is
// there.
double RoomBeside(const std::vector<PlannedCell>& cells, const std::vector<BaseCells>& bases,
                  std::size_t k, BaseSide side, OpenEnd open) {
  const BaseCells& base = bases[k];
  if (side == BaseSide::kBefore) {
    if (base.first == 0 || (k > 0 && bases[k - 1].end == base.first)) return 0;
  } else if (base.end >= cells.size()) {
    return std::max(0.0, open - EndOf(cells[base.end - 1]) - base.after);
  } else if (k + 1 < bases.size() && bases[k + 1].first == base.end) {
    return 0;
  }
  const PlannedCell& neighbour = cells[side == BaseSide::kBefore ? base.first - 1 : base.end];
  const double gap = side == BaseSide::kBefore
                         ? cells[base.first].top - base.before - EndOf(neighbour)
                         : neighbour.top - EndOf(cells[base.end - 1]) - base.after;
  const double over = IsBlank(neighbour) ? neighbour.extent
                                         : std::min(neighbour.extent,
                                                    RubyRoomOver(neighbour.text, kRubyShare, side));
  return gap + over;
}

// The blank space set before each part of a base (gap 0 before its
// first) and, last, after it, for `extra` space in `parts` parts: in whole
// cells where the cells keep their grid.
std::vector<double> BaseGaps(double extra, std::size_t parts, bool atHead, bool atEnd,
                             bool wholeCells) {
  if (wholeCells) {
    const std::vector<std::size_t> cells =
        ShareBaseCells(static_cast<std::size_t>(std::lround(extra)), parts, atHead, atEnd);
    return {cells.begin(), cells.end()};
  }
  const BaseSpacing spacing = ShareBaseSpacing(extra, parts, atHead, atEnd);
  std::vector<double> gaps(parts + 1, spacing.between);
  gaps.front() = spacing.before;
  gaps.back() = spacing.after;
  return gaps;
}

// Spaces out each base of `bases` whose reading in `readings` needs more
// length than the base and the room beside it give (see
// core/ruby_spacing.h), moving the cells after it down, by no more than
// the `room` the column has left, in whole cells where `wholeCells`;
// returns the length the column grew by. The fitting leaves room for
// every base but one that a cut split, whose reading then runs on past the
// part in this column.
double SpaceLongReadings(std::vector<PlannedCell>& cells, const std::vector<ColumnRuby>& readings,
                         std::vector<BaseCells>& bases, double room, OpenEnd open,
                         bool wholeCells) {
  double grown = 0;
  for (std::size_t k = 0; k < bases.size(); ++k) {
    BaseCells& base = bases[k];
    if (base.first >= base.end) continue;
    double extra = std::min(
        room - grown, static_cast<double>(ReadingCharacters(readings[k].reading)) * kRubyShare -
                          (EndOf(cells[base.end - 1]) - cells[base.first].top) -
                          RoomBeside(cells, bases, k, BaseSide::kBefore, open) -
                          RoomBeside(cells, bases, k, BaseSide::kAfter, open));
    if (extra <= kNoSlack) continue;
    if (wholeCells) {
      extra = std::min(std::floor(room - grown + kNoSlack), std::ceil(extra - kNoSlack));
      if (extra < 1) continue;
    }
    const std::size_t parts = base.end - base.first;
    const std::vector<double> gaps =
        BaseGaps(extra, parts, base.first == 0, base.end == cells.size() && open == 0, wholeCells);
    base.before = gaps.front();
    base.after = gaps.back();
    double moved = 0;
    for (std::size_t i = base.first; i < cells.size(); ++i) {
      if (i <= base.end) moved += gaps[i - base.first];
      cells[i].top += moved;
    }
    grown += extra;
  }
  return grown;
}

// Where each base of `bases`, set in `cells` of layout column `column`,
// stands, into `places` (see DrawingPlan::FlowColumn), its column's end
// `open` or not. A base that was not `spaced` out keeps the room of the
// grid's cells beside it, as RubyRoomOver gives it for reading cells
// `rubyShare` of a cell.
void PlaceBases(const VerticalLayout& layout, std::size_t column,
                const std::vector<PlannedCell>& cells, const std::vector<ColumnRuby>& readings,
                const std::vector<BaseCells>& bases, bool spaced, OpenEnd open, double rubyShare,
                std::vector<RubyPlace>& places) {
  places.assign(readings.size(), RubyPlace{});
  const double end = cells.empty() ? 0 : EndOf(cells.back());
  for (std::size_t k = 0; k < readings.size(); ++k) {
    const BaseCells& base = bases[k];
    RubyPlace& place = places[k];
    if (base.first >= base.end) {
      place.baseTop = end;
      continue;
    }
    place.baseTop = cells[base.first].top - base.before;
    if (spaced) {
      place.baseLength = EndOf(cells[base.end - 1]) + base.after - place.baseTop;
      place.roomBefore = RoomBeside(cells, bases, k, BaseSide::kBefore, open);
      place.roomAfter = RoomBeside(cells, bases, k, BaseSide::kAfter, open);
      continue;
    }
    place.baseLength = (base.end < cells.size() ? cells[base.end].top : end) - place.baseTop;
    SetGridRooms(layout, column, readings[k], rubyShare, place);
  }
}

// Manuscript paper's ruling, vermilion as printed ones are.
constexpr Rgb kGenkouColour = 0xD95A3A;
constexpr double kGenkouPen = 0.6;
// A reading on manuscript paper takes this share of the strip beside its
// column, centred: the rest keeps its ink clear of the lines.
constexpr double kGenkouRubyShare = 0.8;

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
  // Half a strip clear of the first column's strip, of the last column,
  // and of the columns and strip on either side of the band.
  const double right = g.ColumnLeft(0) + g.cell + 1.5 * space;
  const double left = g.ColumnLeft(g.columnsPerPage - 1) - space / 2;
  const double bandRight = g.ColumnLeft(half - 1) - space / 2;
  const double bandLeft = bandRight - g.bandWidth;
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

void SetGridRooms(const VerticalLayout& layout, std::size_t column, const ColumnRuby& ruby,
                  double rubyCell, RubyPlace& place) {
  place.roomBefore = ruby.firstRow == 0 ? 0
                                        : RubyRoomOver(layout.Cell(ruby.firstRow - 1, column),
                                                       rubyCell, BaseSide::kBefore);
  place.roomAfter =
      RubyRoomOver(layout.Cell(ruby.firstRow + ruby.rows, column), rubyCell, BaseSide::kAfter);
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
  const double length = static_cast<double>(place.readingCells) * place.rubyCell;
  return std::max(
      {std::min(place.baseTop - before, place.columnEnd - length), place.columnTop, place.free});
}

CellBox PictureCell(int cellSize, double columnSpacing) {
  return CellBox{cellSize, cellSize, static_cast<int>(std::lround(cellSize * columnSpacing))};
}

std::int64_t PictureWidth(CellBox box, std::size_t columns) {
  const auto n = static_cast<std::int64_t>(columns);
  return box.width * (n + 2) + box.columnSpace * std::max<std::int64_t>(0, n - 1);
}

std::size_t PictureRows(const VerticalLayout& layout) {
  const DrawingPlan plan(layout, PictureStyle{});
  if (!plan.Flows()) return layout.RowCount();
  double longest = 0;
  std::vector<PlannedCell> cells;
  std::vector<RubyPlace> bases;
  for (std::size_t column = 0; column < layout.ColumnCount(); ++column) {
    plan.FlowColumn(column, cells, layout.HasRuby() ? &bases : nullptr);
    for (const PlannedCell& cell : cells) longest = std::max(longest, EndOf(cell));
    // A base that ends its column may end with the space it was given,
    // which its reading fills.
    for (const RubyPlace& base : bases) longest = std::max(longest, base.baseTop + base.baseLength);
  }
  return static_cast<std::size_t>(std::ceil(longest - kNoSlack));
}

PictureSize PictureSizeOf(const VerticalLayout& layout, CellBox box) {
  return PictureSize{PictureWidth(box, layout.ColumnCount()),
                     box.height * static_cast<std::int64_t>(PictureRows(layout) + 2)};
}

std::vector<Sheet> PictureSheets(const VerticalLayout& layout, CellBox box) {
  // The most columns whose sheet, margins and spaces included, fits.
  const std::size_t columnsPerSheet = static_cast<std::size_t>(std::max<std::int64_t>(
      1, (kMaxSheetSide - 2 * std::int64_t{box.width} + box.columnSpace) / box.ColumnPitch()));
  const std::size_t rowsPerSheet =
      static_cast<std::size_t>(std::max<std::int64_t>(1, kMaxSheetSide / box.height - 2));
  const std::size_t columns = layout.ColumnCount();
  const std::size_t rows = PictureRows(layout);
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
    plan.sheets_ = {Sheet{0, PictureRows(layout), 0, layout.ColumnCount()}};
  }
  plan.sheetCount_ = plan.sheets_.size();
  return plan;
}

DrawingPlan DrawingPlan::Pages(const VerticalLayout& layout, const PictureStyle& style,
                               const PageSetup& setup, const std::vector<PageBreak>& breaks) {
  DrawingPlan plan(layout, style);
  plan.page_ = PageGeometryOf(setup);
  plan.pageNumbers_ = setup.pageNumbers;
  plan.sheetCount_ = PageCount(layout.ColumnCount(), *plan.page_);
  if (!breaks.empty()) {
    plan.pageStarts_ = plan.PageStarts(breaks);
    plan.sheetCount_ = plan.pageStarts_.size();
  }
  return plan;
}

std::vector<std::size_t> DrawingPlan::PageStarts(const std::vector<PageBreak>& breaks) const {
  const std::size_t columns = layout_->ColumnCount();
  const std::size_t perPage = std::max<std::size_t>(1, page_->columnsPerPage);
  std::vector<std::size_t> starts{0};
  auto next = breaks.begin();
  std::size_t line = 0;
  for (std::size_t read = 0; read < columns; ++read) {
    const bool startsLine = read > 0 && StartsParagraph(columns - 1 - read);
    if (startsLine) ++line;
    if (read - starts.back() == perPage) starts.push_back(read);
    while (next != breaks.end() && next->line < line) ++next;
    if (!startsLine || next == breaks.end() || next->line != line) continue;
    if (starts.back() != read) starts.push_back(read);
    // A blank page before a page of the side asked for.
    const bool odd = starts.size() % 2 == 1;
    if ((next->side == PageBreak::Side::kOdd && !odd) ||
        (next->side == PageBreak::Side::kEven && odd)) {
      starts.push_back(read);
    }
    ++next;
  }
  return starts;
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
  plan.rubyCell = h * kRubyShare;
  plan.rubyCharacterSize = w * kRubyShare;
  plan.rubyLeft = w;
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
  plan.rubyCell = g.cell * RubyShare();
  if (g.genkou) {
    // Centred in the strip beside the column, the characters filling
    // their cells: the rest of the strip keeps them off the lines.
    plan.rubyCharacterSize = plan.rubyCell;
    plan.rubyLeft = g.cell + (g.columnPitch - g.cell - plan.rubyCell) / 2;
  } else {
    plan.rubyCharacterSize = g.character * kRubyShare;
    plan.rubyLeft = g.cell;
  }
  const std::size_t columns = layout_->ColumnCount();
  const std::size_t first = pageStarts_.empty() ? n * g.columnsPerPage : pageStarts_.at(n);
  const std::size_t end = pageStarts_.empty() || n + 1 >= pageStarts_.size()
                              ? first + g.columnsPerPage
                              : pageStarts_[n + 1];
  for (std::size_t k = 0; k < g.columnsPerPage; ++k) {
    const std::size_t read = first + k;
    if (read >= columns || read >= end) break;
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

// A picture that spaces its bases by whole cells sets its cells one after
// another too, each on a row of the grid, so that a base's blanks move the
// cells after it down.
bool DrawingPlan::Flows() const {
  const Typesetting& typesetting = layout_->Typeset();
  return typesetting.On() || (page_ && !page_->genkou) ||
         (!page_ && typesetting.spaceLongRuby == LongRubySpacing::kByCells && layout_->HasRuby());
}

// Only a layout whose columns were fitted with the space can take it.
bool DrawingPlan::SpacesLongRuby() const {
  return layout_->Typeset().spaceLongRuby != LongRubySpacing::kNone && Flows();
}

double DrawingPlan::RubyShare() const {
  if (!page_ || !page_->genkou) return kRubyShare;
  return (page_->columnPitch - page_->cell) * kGenkouRubyShare / page_->cell;
}

void DrawingPlan::FlowColumn(std::size_t column, std::vector<PlannedCell>& out,
                             std::vector<RubyPlace>* places) const {
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
  const bool spaced = SpacesLongRuby() && layout_->HasRuby();
  const auto length = static_cast<double>(layout_->ColumnLength());
  const bool endsParagraph = EndsParagraph(span.text, span.end);
  // A picture is as long as its longest column as set, so nothing below a
  // column's last cell is sure to lie in it: its columns' ends stay shut.
  const OpenEnd open = page_ && endsParagraph ? length : 0;
  // Columns that hold whole lines are as long as the line and its space.
  const double room =
      layout_->ColumnLength() == 0 ? std::numeric_limits<double>::infinity() : length - at;
  std::vector<ColumnRuby> readings;
  std::vector<BaseCells> bases;
  if (spaced || places != nullptr) {
    readings = layout_->RubyOf(column);
    bases = CellsOfBases(out, readings);
  }
  if (spaced) {
    at += SpaceLongReadings(out, readings, bases, room, open,
                            typesetting.spaceLongRuby == LongRubySpacing::kByCells);
  }
  // Pages set as books are set; pictures and 原稿用紙 keep a mark to a cell.
  if (page_ && !page_->genkou) at -= TightenPunctuation(out);
  const double slack = length - at;
  const bool spread = page_ && !page_->genkou && slack > kNoSlack &&
                      (out.size() >= 2 || (out.size() == 1 && WordSpacesIn(out[0]) != 0)) &&
                      !endsParagraph;
  if (spread) SpreadToEnd(out, slack);
  if (places != nullptr) {
    PlaceBases(*layout_, column, out, readings, bases, spaced, open, RubyShare(), *places);
  }
  DropBlanks(out);
}

}  // namespace mirotabe
