#include "core/page_setup.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace mirotabe {
namespace {

constexpr double kPointsPerMm = 72.0 / 25.4;
// Unless the setup says otherwise, the space between columns is three
// quarters of a character, the middle of the half to one em that books
// keep; on manuscript paper it is a quarter of a square, as printed.
constexpr double kColumnSpace = 0.75;
constexpr double kGenkouSpace = 0.25;
// The centre band of manuscript paper is two squares wide.
constexpr double kBandSquares = 2;
// Characters on manuscript paper take four fifths of the square, as a
// writer's hand does, clear of the ruling on every side.
constexpr double kGenkouCharacterShare = 0.8;
// A page number is a little smaller than the text, and never so small that
// it cannot be read.
constexpr double kPageNumberShare = 0.8;
constexpr double kMinPageNumberPoints = 8;
constexpr double kPageNumberInset = kPageNumberInsetMm * kPointsPerMm;

struct Size {
  double width;
  double height;
};

Size PaperSize(Paper paper) {
  switch (paper) {
    case Paper::kB5:
      return {182 * kPointsPerMm, 257 * kPointsPerMm};
    case Paper::kA5:
      return {148 * kPointsPerMm, 210 * kPointsPerMm};
    case Paper::kB6:
      return {128 * kPointsPerMm, 182 * kPointsPerMm};
    case Paper::kA6:
      return {105 * kPointsPerMm, 148 * kPointsPerMm};
    case Paper::kLetter:
      return {612, 792};
    case Paper::kA4:
    case Paper::kGenkou:
      break;
  }
  return {210 * kPointsPerMm, 297 * kPointsPerMm};
}

PageGeometry GenkouGeometry(const PageSetup& setup) {
  PageGeometry g;
  const Size a4 = PaperSize(Paper::kA4);
  g.width = a4.height;
  g.height = a4.width;
  g.genkou = true;
  g.cellsPerColumn = kGenkouSquares;
  g.columnsPerPage = kGenkouSquares;
  // The columns and their strips, the band, and half a strip between each
  // of the frame's and the band's lines and what they border.
  const double squares = kGenkouSquares * (1 + kGenkouSpace) + kBandSquares + 2 * kGenkouSpace;
  const auto cellFor = [&](double margin) {
    return std::min((g.height - 2 * margin) / kGenkouSquares, (g.width - 2 * margin) / squares);
  };
  double margin = setup.marginMm * kPointsPerMm;
  g.cell = cellFor(margin);
  // The frame stands a space below the squares; a page number needs room
  // of its own below it, inside the inset.
  const double numbered = kPageNumberInset + kMinPageNumberPoints + g.cell * kGenkouSpace;
  if (setup.pageNumbers && margin < numbered) {
    margin = numbered;
    g.cell = cellFor(margin);
  }
  g.character = g.cell * kGenkouCharacterShare;
  g.columnPitch = g.cell * (1 + kGenkouSpace);
  g.bandWidth = kBandSquares * g.cell;
  g.top = (g.height - kGenkouSquares * g.cell) / 2;
  // The frame is centred; the first column stands its strip and half a
  // strip inside it.
  g.right = (g.width + squares * g.cell) / 2 - 1.5 * g.cell * kGenkouSpace;
  g.footTop = g.top + kGenkouSquares * g.cell + g.cell * kGenkouSpace;
  g.footBottom = g.height - kPageNumberInset;
  return g;
}

}  // namespace

double PageGeometry::ColumnLeft(std::size_t k) const {
  // The band and half a strip each side of it.
  const double band = genkou && k >= columnsPerPage / 2 ? bandWidth + (columnPitch - cell) : 0;
  return right - static_cast<double>(k) * columnPitch - band - cell;
}

PageGeometry PageGeometryOf(const PageSetup& setup) {
  if (setup.paper == Paper::kGenkou) return GenkouGeometry(setup);
  PageGeometry g;
  Size paper = PaperSize(setup.paper);
  if (setup.landscape) std::swap(paper.width, paper.height);
  g.width = paper.width;
  g.height = paper.height;
  const double margin =
      std::min<double>(setup.marginMm * kPointsPerMm, std::min(paper.width, paper.height) / 4);
  g.cell = std::clamp(setup.characterPoints, kMinCharacterPoints, kMaxCharacterPoints);
  // Below the text: the row a character hangs into, then the page number
  // inside the inset.
  const double bottomMargin =
      setup.pageNumbers
          ? std::max(margin, kPageNumberInset +
                                 std::max(kMinPageNumberPoints, g.cell * kPageNumberShare) + g.cell)
          : margin;
  const double across = g.width - 2 * margin;
  const double down = g.height - margin - bottomMargin;
  // A given count of characters fits by smaller characters.
  if (setup.columnLength != 0)
    g.cell = std::min(g.cell, down / static_cast<double>(setup.columnLength));
  g.cellsPerColumn = setup.columnLength != 0
                         ? setup.columnLength
                         : std::max<std::size_t>(1, static_cast<std::size_t>(down / g.cell + 1e-9));
  g.columnPitch = g.cell * (1 + PageColumnSpacing(setup));
  if (setup.columns != 0) {
    // A given count of columns fits by narrower spaces, then smaller characters.
    const auto columns = static_cast<double>(setup.columns);
    g.columnPitch = std::min(g.columnPitch, across / columns);
    g.cell = std::min(g.cell, g.columnPitch);
    g.columnsPerPage = setup.columns;
  } else {
    g.columnsPerPage = std::max<std::size_t>(
        1, static_cast<std::size_t>((across + g.columnPitch - g.cell) / g.columnPitch + 1e-9));
  }
  g.top = margin;
  g.right = g.width - margin;
  g.character = g.cell;
  g.footTop = g.top + static_cast<double>(g.cellsPerColumn + 1) * g.cell;
  g.footBottom = std::max(g.footTop, g.height - kPageNumberInset);
  return g;
}

double PageColumnSpacing(const PageSetup& setup) {
  if (setup.paper == Paper::kGenkou) return kGenkouSpace;
  return setup.columnSpacing && IsValidColumnSpacing(*setup.columnSpacing) ? *setup.columnSpacing
                                                                           : kColumnSpace;
}

double PageNumberSize(const PageGeometry& geometry) {
  return std::min(std::max(kMinPageNumberPoints, geometry.cell * kPageNumberShare),
                  geometry.footBottom - geometry.footTop);
}

Kinsoku PageKinsoku(const PageSetup& setup, Kinsoku layout) {
  return setup.kinsoku.value_or(layout == Kinsoku::kNone ? Kinsoku::kPushOut : layout);
}

Typesetting PageTypesetting(const LayoutSettings& layout, const PageSetup& setup) {
  Typesetting typesetting;
  typesetting.tcyDigits = layout.tcy.value_or(2);
  typesetting.latin = layout.latin.value_or(
      setup.paper == Paper::kGenkou ? LatinSetting::kCells : LatinSetting::kSideways);
  typesetting.spaceLongRuby =
      setup.paper == Paper::kGenkou ? LongRubySpacing::kNone : LongRubySpacing::kByAdvance;
  return typesetting;
}

Typesetting PictureTypesetting(const LayoutSettings& layout) {
  Typesetting typesetting;
  typesetting.tcyDigits = layout.tcy.value_or(0);
  typesetting.latin = layout.latin.value_or(LatinSetting::kCells);
  typesetting.spaceLongRuby =
      typesetting.On() ? LongRubySpacing::kByAdvance : LongRubySpacing::kByCells;
  return typesetting;
}

std::optional<LayoutSettings> PictureLayoutSettings(const LayoutSettings& layout,
                                                    const PictureStyle& style) {
  LayoutSettings picture = layout;
  picture.ruby = RubyInPictures(style);
  picture.typesetting = PictureTypesetting(layout);
  if (!picture.ruby && !picture.typesetting.On()) return std::nullopt;
  return picture;
}

LayoutSettings PageLayoutSettings(const LayoutSettings& layout, const PageSetup& setup,
                                  const PageGeometry& geometry) {
  LayoutSettings paged = layout;
  paged.typesetting = PageTypesetting(layout, setup);
  paged.kinsoku = PageKinsoku(setup, layout.kinsoku);
  if (paged.columnLength == 0 || paged.columnLength > geometry.cellsPerColumn) {
    paged.columnLength = std::min(geometry.cellsPerColumn, kMaxColumnLength);
  }
  return paged;
}

std::size_t PageCount(std::size_t columns, const PageGeometry& geometry) {
  if (columns == 0 || geometry.columnsPerPage == 0) return 1;
  return (columns + geometry.columnsPerPage - 1) / geometry.columnsPerPage;
}

std::string_view PaperLabel(Paper paper) {
  switch (paper) {
    case Paper::kA4:
      return "A4";
    case Paper::kB5:
      return "B5";
    case Paper::kA5:
      return "A5";
    case Paper::kB6:
      return "B6";
    case Paper::kA6:
      return "A6 (文庫)";
    case Paper::kLetter:
      return "レター";
    case Paper::kGenkou:
      break;
  }
  return "原稿用紙 (20×20、A4 横)";
}

std::optional<Typeface> TypefaceNamed(std::string_view name) {
  if (name == "mincho") return Typeface::kMincho;
  if (name == "gothic") return Typeface::kGothic;
  return std::nullopt;
}

std::optional<Paper> PaperNamed(std::string_view name) {
  constexpr std::pair<std::string_view, Paper> kNames[] = {
      {"a4", Paper::kA4}, {"b5", Paper::kB5},         {"a5", Paper::kA5},        {"b6", Paper::kB6},
      {"a6", Paper::kA6}, {"letter", Paper::kLetter}, {"genkou", Paper::kGenkou}};
  for (const auto& [known, paper] : kNames) {
    if (known == name) return paper;
  }
  return std::nullopt;
}

}  // namespace mirotabe
