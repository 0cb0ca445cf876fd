// What the pictures and the pages of a vertical layout draw, and where: the
// geometry and the colours said once, for the painters of every edition to
// carry out (Qt and HarfBuzz on the desktop, the browser's own).
//
// A drawing is a run of sheets: one for a PNG, sheets no larger than PDF
// viewers show for a PDF picture, the pages of a PageSetup for a paged PDF.
// Each sheet is planned when it is asked for, so that a document of many
// pages never holds more than one page's plan. A sheet plan says:
// - the sheet's size, and its background where it has one;
// - the rules drawn beneath the text (manuscript-paper lines, the frame and
//   the centre band of 原稿用紙), in order, as flat lists of numbers;
// - where each column stands and where its rows start, and through
//   ForEachCell each cell's box, its text and how its glyph is set (see
//   core/glyph_form.h), in reading order: the rightmost column first, each
//   from the top down, so that the text of a PDF reads as the columns do;
// - through ForEachRubyCell, where the layout holds ruby, each character
//   of each reading in a cell of its own, half a cell on a side, in the
//   space to the right of its base's column (on 原稿用紙, as wide as the
//   strip there leaves clear of its lines); a base whose reading is
//   longer is spaced out to hold it (see core/ruby_spacing.h), in a
//   picture of a character to a cell by whole blank cells, but on
//   原稿用紙;
// - the page number's text and box.
//
// Pictures are measured in pixels and drawn one PDF point to a pixel; pages
// are measured in PDF points. A picture's cell is a square as wide as a
// full-width character of its cell size, its columns the style's spacing
// apart; a page's cell is the square of its setup. Each cell's character
// is centred in it at the sheet's character size.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/code_points.h"
#include "core/glyph_form.h"
#include "core/page_setup.h"
#include "core/picture_style.h"
#include "core/ruby_spacing.h"
#include "core/vertical_layout.h"

namespace mirotabe {

// A colour as 0xRRGGBB.
using Rgb = std::uint32_t;
inline constexpr Rgb kPaperColour = 0xFFFFFF;
inline constexpr Rgb kInkColour = 0x000000;

// The sides of a PNG can be at most this many pixels.
inline constexpr std::int64_t kMaxImageSide = 32767;
// The largest page side PDF viewers accept: 200 inches, in points.
inline constexpr std::int64_t kMaxSheetSide = 14400;

// The size of a picture's cell in pixels, and the blank between two of its
// columns.
struct CellBox {
  int width = 0;
  int height = 0;
  int columnSpace = 0;

  std::int64_t ColumnPitch() const { return std::int64_t{width} + columnSpace; }
};

// A picture's cells are square, as on manuscript paper: a cell as high as
// a line of the font would stand the characters of a column apart. The
// space between columns is whole pixels, so that the grid's lines stay
// sharp in a PNG.
CellBox PictureCell(int cellSize, double columnSpacing = kDefaultColumnSpacing);

struct PictureSize {
  std::int64_t width = 0;
  std::int64_t height = 0;
};

// The width of a picture of `columns` columns: the columns, the spaces
// between them and a margin of one cell at each side.
std::int64_t PictureWidth(CellBox box, std::size_t columns);

// The rows of cells a picture of `layout` is drawn on: its longest column,
// as its cells are set, rounded up to whole cells. Where Latin is set
// sideways or digits side by side, a column is shorter than its count of
// characters.
std::size_t PictureRows(const VerticalLayout& layout);

// The size of the PNG of `layout`: its columns and the spaces between them,
// its PictureRows, and a margin of one cell all round.
PictureSize PictureSizeOf(const VerticalLayout& layout, CellBox box);
inline bool FitsImage(const PictureSize& size) {
  return size.width <= kMaxImageSide && size.height <= kMaxImageSide;
}

// A block of a picture's cells drawn together, as one PDF page or one whole
// image.
struct Sheet {
  std::size_t firstRow = 0;
  std::size_t rows = 0;
  std::size_t firstColumn = 0;
  std::size_t columns = 0;
};

// A PDF picture's sheets in reading order: the rightmost columns first, and
// within a band of columns from the top down. An empty layout gives one
// sheet of margins only.
std::vector<Sheet> PictureSheets(const VerticalLayout& layout, CellBox box);

// One step of what is drawn beneath the text: lines, each x1 y1 x2 y2, with
// a pen `penWidth` wide, or rectangles, each x y width height, filled
// without a pen; all of one colour.
struct PaintStep {
  enum class Kind : std::uint8_t { kLines, kRectangles };
  Kind kind = Kind::kLines;
  Rgb colour = kInkColour;
  double penWidth = 0;
  std::vector<double> coordinates;
};

// What stands in a cell's box.
enum class CellItem : std::uint8_t {
  kGlyphs,    // a character, or what an entry made of it, set as `orientation` says
  kTcy,       // digits or marks upright side by side, narrowed to the cell's width if need be
  kSideways,  // Latin turned a quarter turn clockwise, reading down the column
};

struct PlannedCell {
  CellItem item = CellItem::kGlyphs;
  // The top-left corner of the cell's box.
  double left = 0;
  double top = 0;
  std::u16string_view text;
  CellOrientation orientation = CellOrientation::kAsItStands;
  // The box's length down the column: the cell's height, or a sideways
  // run's advance.
  double extent = 0;
  // Added to each space of a sideways run where a column is spread to its
  // end.
  double wordSpacing = 0;
};

struct PageNumberPlan {
  std::u16string text;
  // The box the number is centred in, and the size of its characters.
  double left = 0;
  double top = 0;
  double width = 0;
  double height = 0;
  double characterSize = 0;
  Rgb colour = kInkColour;
};

struct SheetPlan {
  double width = 0;
  double height = 0;
  // None: the sheet is paper already (a PDF page).
  std::optional<Rgb> background;
  std::vector<PaintStep> beneath;
  Rgb ink = kInkColour;
  double cellWidth = 0;
  double cellHeight = 0;
  // The size (the em) of the characters, each centred in its cell.
  double characterSize = 0;
  // The side of a reading's cells, and the size of its characters: half
  // the text's, as ruby is set, but on 原稿用紙 (see RubyShare).
  double rubyCell = 0;
  double rubyCharacterSize = 0;
  // From a column's left edge to the left edge of its readings' cells.
  double rubyLeft = 0;
  // The layout's columns on the sheet in reading order, and the left edge
  // of each.
  std::vector<std::size_t> columns;
  std::vector<double> columnLefts;
  // The layout's rows on the sheet; row firstRow + r starts at top + r ×
  // cellHeight.
  std::size_t firstRow = 0;
  std::size_t rows = 0;
  double top = 0;
  std::optional<PageNumberPlan> pageNumber;
};

// Where a reading is set beside its base, in the plan's units.
struct RubyPlace {
  double baseTop = 0;
  double baseLength = 0;
  std::size_t readingCells = 0;
  double rubyCell = 0;
  // How far the reading may run over the cells before and after its base
  // (see RubyRoomOver).
  double roomBefore = 0;
  double roomAfter = 0;
  // The top of the column's first cell, and where the reading before in
  // the column ends.
  double columnTop = 0;
  double free = 0;
  // Where the column's last cell ends.
  double columnEnd = std::numeric_limits<double>::infinity();
};

// Where a text asks for a new page (改ページ, 改丁, 改見開き): before its
// line `line` (0 the first), on the next page, or on the next one whose
// number is odd (a leaf's front) or even (a spread's first page). A break
// at the head of a page starts no other page, unless the side asks for it.
struct PageBreak {
  enum class Side : std::uint8_t { kNext, kOdd, kEven };
  std::size_t line = 0;
  Side side = Side::kNext;
  friend bool operator==(const PageBreak&, const PageBreak&) = default;
};

class DrawingPlan {
 public:
  // A picture of `layout` (which must outlive the plan), its cells squares
  // `box.width` wide, its columns the style's spacing apart: one sheet for
  // a PNG, the sheets of PictureSheets for a PDF.
  static DrawingPlan Picture(const VerticalLayout& layout, const PictureStyle& style, CellBox box,
                             PictureFormat format);
  // The pages of `layout`, laid out under PageLayoutSettings for `setup`.
  // `breaks`, in the order of their lines, start new pages.
  static DrawingPlan Pages(const VerticalLayout& layout, const PictureStyle& style,
                           const PageSetup& setup, const std::vector<PageBreak>& breaks = {});

  std::size_t SheetCount() const { return sheetCount_; }
  SheetPlan PlanSheet(std::size_t n) const;

  // Calls `visit(const PlannedCell&)` for each cell of `sheet` that holds
  // something, in reading order; blank cells draw nothing.
  template <typename Visit>
  void ForEachCell(const SheetPlan& sheet, Visit&& visit) const;

  // Whether layout column `column` starts a paragraph, rather than going
  // on with the line that the column before it holds the start of.
  bool StartsParagraph(std::size_t column) const;

  // Calls `visit(const PlannedCell&)` for each character of the readings
  // of the bases that start on `sheet`, in reading order, each cell
  // sheet.rubyCell on a side.
  template <typename Visit>
  void ForEachRubyCell(const SheetPlan& sheet, Visit&& visit) const;

 private:
  friend std::size_t PictureRows(const VerticalLayout& layout);

  DrawingPlan(const VerticalLayout& layout, const PictureStyle& style)
      : layout_(&layout), style_(style) {}
  SheetPlan PlanPictureSheet(std::size_t n) const;
  SheetPlan PlanPage(std::size_t n) const;
  // Where each page begins (see pageStarts_) when `breaks` start pages.
  std::vector<std::size_t> PageStarts(const std::vector<PageBreak>& breaks) const;
  // Whether the cells are set one after another by their advances (see
  // FlowColumn) rather than one to a row of the layout: a picture that
  // spaces out its bases by whole cells sets them so too.
  bool Flows() const;
  // The cells of layout column `column`, blanks left out, their tops and
  // extents in cells from the column's top, into `out`. A full column of
  // a page other than 原稿用紙 that falls short of its length is spread to
  // it: its Latin word spaces first, by up to half a cell each, then
  // evenly between its characters. A column that ends a paragraph keeps
  // its natural spacing.
  // Where the layout spaces out bases with long readings, each is spaced
  // so (see core/ruby_spacing.h) before the column is spread. Given
  // `places`, where each of the column's bases (as RubyOf gives them)
  // stands goes there, in cells from the column's top: its top and length
  // with the space it was given, and how far its reading may run past
  // them.
  void FlowColumn(std::size_t column, std::vector<PlannedCell>& out,
                  std::vector<RubyPlace>* places = nullptr) const;
  // Whether FlowColumn spaces out bases with long readings.
  bool SpacesLongRuby() const;
  // The side of a reading's cells, in text cells: half a cell, as ruby is
  // set beside its base, but on 原稿用紙, where a reading is written in
  // the strip beside its column, clear of the lines on either side.
  double RubyShare() const;

  const VerticalLayout* layout_;
  PictureStyle style_;
  std::size_t sheetCount_ = 1;
  // A picture's cells and sheets; empty for pages (a PNG's one sheet is
  // the whole layout).
  CellBox box_;
  std::vector<Sheet> sheets_;
  // Pages only. Where each page begins, in columns in reading order; empty
  // when every page but the last is full.
  std::optional<PageGeometry> page_;
  std::vector<std::size_t> pageStarts_;
  bool pageNumbers_ = false;
};

// Which side of its base a neighbour stands on.
enum class BaseSide : std::uint8_t { kBefore, kAfter };

// How far a reading longer than its base may run over `neighbour`, the
// cell beside the base on `side`: half a ruby cell over kana, as Japanese
// books let ruby overhang, a whole one over the blank half of a
// punctuation mark that faces the base (、。 or a closing bracket before
// it, an opening bracket after it), as far as it needs over a blank, none
// over a kanji or anything else.
double RubyRoomOver(std::u16string_view neighbour, double rubyCell, BaseSide side);

// How far the reading of `ruby`, a base in layout column `column`, may run
// over the cells of the grid before and after it, in `place`: as
// RubyRoomOver says of each, none above the column's first cell.
void SetGridRooms(const VerticalLayout& layout, std::size_t column, const ColumnRuby& ruby,
                  double rubyCell, RubyPlace& place);

// Where the first cell of a reading starts. A reading no longer than its
// base is centred on it. A longer one runs over its neighbours, evenly
// where their room allows, else more over the side with room; where
// neither side has room enough (a base in a grid of cells, which is not
// spaced out), over the side after the base. Never above the column's
// first cell, nor over the reading before; where it would run past the
// column's last cell, raised to end there.
double RubyTop(const RubyPlace& place);

template <typename Visit>
void DrawingPlan::ForEachRubyCell(const SheetPlan& sheet, Visit&& visit) const {
  if (!layout_->HasRuby()) return;
  PlannedCell cell;
  // Where the cells flow, each base stands where its cells were set.
  std::vector<PlannedCell> flowed;
  std::vector<RubyPlace> flowedPlaces;
  for (std::size_t k = 0; k < sheet.columns.size(); ++k) {
    const std::size_t column = sheet.columns[k];
    cell.left = sheet.columnLefts[k] + sheet.rubyLeft;
    RubyPlace place;
    place.rubyCell = sheet.rubyCell;
    place.columnTop = sheet.top;
    place.free = sheet.top;
    // On manuscript paper a reading ends with its column's squares, inside
    // the frame; elsewhere it may run on into the margin below.
    if (page_ && page_->genkou) {
      place.columnEnd = sheet.top + static_cast<double>(page_->cellsPerColumn) * sheet.cellHeight;
    }
    const std::vector<ColumnRuby> readings = layout_->RubyOf(column);
    const bool flows = !readings.empty() && Flows();
    if (flows) FlowColumn(column, flowed, &flowedPlaces);
    const auto first = static_cast<double>(sheet.firstRow);
    for (std::size_t r = 0; r < readings.size(); ++r) {
      const ColumnRuby& ruby = readings[r];
      // A picture's sheet is a band of its rows, where a base that flowed
      // stands as it was set, which spacing moves down from its row; a
      // page holds its columns whole.
      const double row =
          flows && !page_ ? flowedPlaces[r].baseTop : static_cast<double>(ruby.firstRow);
      if (row < first || row >= first + static_cast<double>(sheet.rows)) continue;
      place.readingCells = ReadingCharacters(ruby.reading);
      if (flows) {
        const RubyPlace& set = flowedPlaces[r];
        place.baseTop =
            sheet.top + (set.baseTop - static_cast<double>(sheet.firstRow)) * sheet.cellHeight;
        place.baseLength = set.baseLength * sheet.cellHeight;
        place.roomBefore = set.roomBefore * sheet.cellHeight;
        place.roomAfter = set.roomAfter * sheet.cellHeight;
      } else {
        place.baseTop =
            sheet.top + static_cast<double>(ruby.firstRow - sheet.firstRow) * sheet.cellHeight;
        place.baseLength = static_cast<double>(ruby.rows) * sheet.cellHeight;
        SetGridRooms(*layout_, column, ruby, sheet.rubyCell, place);
      }
      cell.top = RubyTop(place);
      for (std::size_t at = 0; at < ruby.reading.size();) {
        const std::size_t units = CodePointAt(ruby.reading, at).units;
        cell.text = ruby.reading.substr(at, units);
        cell.orientation = OrientationOfCell(cell.text, style_.verticalGlyphs, false);
        visit(static_cast<const PlannedCell&>(cell));
        cell.top += sheet.rubyCell;
        at += units;
      }
      place.free = cell.top;
    }
  }
}

template <typename Visit>
void DrawingPlan::ForEachCell(const SheetPlan& sheet, Visit&& visit) const {
  if (Flows()) {
    std::vector<PlannedCell> flowed;
    const double first = static_cast<double>(sheet.firstRow);
    const double end = first + static_cast<double>(sheet.rows);
    for (std::size_t k = 0; k < sheet.columns.size(); ++k) {
      FlowColumn(sheet.columns[k], flowed);
      for (PlannedCell& cell : flowed) {
        // A picture's sheet is a band of its rows; a page holds its
        // columns whole, spread to their length and hung below it.
        if (!page_ && (cell.top < first || cell.top >= end)) continue;
        cell.left = sheet.columnLefts[k];
        cell.top = sheet.top + (cell.top - first) * sheet.cellHeight;
        cell.extent *= sheet.cellHeight;
        cell.wordSpacing *= sheet.cellHeight;
        visit(static_cast<const PlannedCell&>(cell));
      }
    }
    return;
  }
  PlannedCell cell;
  cell.extent = sheet.cellHeight;
  for (std::size_t k = 0; k < sheet.columns.size(); ++k) {
    cell.left = sheet.columnLefts[k];
    for (std::size_t r = 0; r < sheet.rows; ++r) {
      const std::size_t row = sheet.firstRow + r;
      const LayoutCell at = layout_->CellAt(row, sheet.columns[k]);
      if (at.text.empty() || (at.text.size() == 1 && at.text[0] == kBlankCell)) continue;
      cell.top = sheet.top + static_cast<double>(r) * sheet.cellHeight;
      cell.text = at.text;
      cell.orientation = OrientationOfCell(at.text, style_.verticalGlyphs, at.fromEntry);
      visit(static_cast<const PlannedCell&>(cell));
    }
  }
}

}  // namespace mirotabe
