#include "core/drawing_plan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "core/ruby_spacing.h"
#include "tests/support/case_name.h"

namespace mirotabe {
namespace {

VerticalLayout LayoutOf(std::u16string_view text, const LayoutSettings& settings = {}) {
  return std::get<VerticalLayout>(BuildVerticalLayout(text, {4, SwapTable(), settings}));
}

// The layout's cells in reading order, the rightmost column first, each
// from the top down, blanks left out.
std::u16string ReadingOrder(const VerticalLayout& layout) {
  std::u16string text;
  for (std::size_t column = layout.ColumnCount(); column-- > 0;) {
    for (std::size_t row = 0; row < layout.RowCount(); ++row) {
      const std::u16string_view cell = layout.Cell(row, column);
      if (cell != std::u16string_view(&kBlankCell, 1)) text += cell;
    }
  }
  return text;
}

struct Drawing {
  const char* name;
  // Lays `text` out as the drawing needs and plans it.
  DrawingPlan (*plan)(const VerticalLayout& layout);
  LayoutSettings settings;
};

PageSetup A6TwoColumnsOfFive() {
  PageSetup setup{true, Paper::kA6};
  setup.columnLength = 5;
  setup.columns = 2;
  setup.pageNumbers = true;
  return setup;
}

PageSetup Genkou() {
  PageSetup setup{true, Paper::kGenkou};
  setup.pageNumbers = true;
  return setup;
}

const Drawing kDrawings[] = {
    {"Png",
     [](const VerticalLayout& l) {
       return DrawingPlan::Picture(l, {}, CellBox{24, 26}, PictureFormat::Png);
     },
     {}},
    // Cells so large that every sheet of the PDF holds one.
    {"PdfOfOneCellSheets",
     [](const VerticalLayout& l) {
       return DrawingPlan::Picture(l, {}, CellBox{7000, 7000}, PictureFormat::Pdf);
     },
     {}},
    {"A6Pages",
     [](const VerticalLayout& l) { return DrawingPlan::Pages(l, {}, A6TwoColumnsOfFive()); },
     PageLayoutSettings({}, A6TwoColumnsOfFive(), PageGeometryOf(A6TwoColumnsOfFive()))},
    {"GenkouPages", [](const VerticalLayout& l) { return DrawingPlan::Pages(l, {}, Genkou()); },
     PageLayoutSettings({}, Genkou(), PageGeometryOf(Genkou()))},
};

bool Inside(double value, double from, double to) {
  return value >= from - 1e-9 && value <= to + 1e-9;
}

// Sheet after sheet, the cells read as the columns do, each in a box of its
// own inside its sheet, and a page number, where there is one, below them.
TEST(DrawingPlanTest, TheSheetsCellsReadInReadingOrderInsideTheirSheets) {
  const std::u16string text =
      u"吾輩は猫である。名前はまだ無い。\r\n\r\nどこで生れたか\r\n" + std::u16string(45, u'あ');
  for (const Drawing& drawing : kDrawings) {
    SCOPED_TRACE(drawing.name);
    const VerticalLayout layout = LayoutOf(text, drawing.settings);
    const DrawingPlan plan = drawing.plan(layout);
    std::u16string read;
    for (std::size_t n = 0; n < plan.SheetCount(); ++n) {
      const SheetPlan sheet = plan.PlanSheet(n);
      ASSERT_EQ(sheet.columns.size(), sheet.columnLefts.size());
      for (std::size_t k = 1; k < sheet.columnLefts.size(); ++k) {
        EXPECT_GT(sheet.columnLefts[k - 1], sheet.columnLefts[k] + sheet.cellWidth - 1e-9);
      }
      double lowest = 0;
      plan.ForEachCell(sheet, [&](const PlannedCell& cell) {
        read += cell.text;
        EXPECT_TRUE(Inside(cell.left, 0, sheet.width - sheet.cellWidth));
        EXPECT_TRUE(Inside(cell.top, 0, sheet.height - sheet.cellHeight));
        lowest = std::max(lowest, cell.top + sheet.cellHeight);
      });
      if (sheet.pageNumber) {
        const PageNumberPlan& number = *sheet.pageNumber;
        const std::string digits = std::to_string(n + 1);
        EXPECT_EQ(number.text, std::u16string(digits.begin(), digits.end()));
        EXPECT_GE(number.top, lowest - 1e-9);
        EXPECT_TRUE(Inside(number.top + number.height, 0, sheet.height));
      }
    }
    EXPECT_EQ(read, ReadingOrder(layout));
  }
}

struct ParagraphCase {
  const char* name;
  std::u16string text;
  LayoutSettings settings;
  // For each column that holds cells, in reading order: whether it starts
  // a paragraph (1) or goes on with the line of the column before (0).
  std::string starts;
};

class ParagraphStarts : public testing::TestWithParam<ParagraphCase> {};

// A PDF's tags make one paragraph of a line's columns, across pages too.
TEST_P(ParagraphStarts, AColumnStartsAParagraphOnlyAtTheStartOfItsLine) {
  const ParagraphCase& c = GetParam();
  const VerticalLayout layout = LayoutOf(c.text, c.settings);
  const DrawingPlan plan = DrawingPlan::Picture(layout, {}, CellBox{24, 24}, PictureFormat::Png);
  std::string starts;
  for (std::size_t column = layout.ColumnCount(); column-- > 0;) {
    if (layout.SpanOf(column).cells != 0) starts += plan.StartsParagraph(column) ? '1' : '0';
  }
  EXPECT_EQ(starts, c.starts);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ParagraphStarts,
    testing::Values(ParagraphCase{"WholeLines", u"吾輩は\r\n猫である", {}, "11"},
                    ParagraphCase{"ALineCutIntoColumns", u"吾輩は猫である。\r\n名前", {3}, "1001"},
                    ParagraphCase{
                        "BlankLinesBetween", u"吾輩は猫\r\n\r\n\r\nである", {2, {}, 1}, "1010"},
                    // A space at a cut belongs to neither column.
                    ParagraphCase{"ACutAtASpace", u"abc def\r\n\u3000字下げ", {4}, "101"}),
    testing_support::CaseName());

struct PageBreakCase {
  const char* name;
  std::u16string text;
  std::vector<PageBreak> breaks;
  // Each page's cells in reading order.
  std::vector<std::u16string> pages;
};

class PageBreaks : public testing::TestWithParam<PageBreakCase> {};

TEST_P(PageBreaks, StartPagesBeforeTheirLinesButNeverAnEmptyOneAtAPagesHead) {
  const PageBreakCase& c = GetParam();
  const PageSetup setup{true, Paper::kA6};
  const VerticalLayout layout =
      LayoutOf(c.text, PageLayoutSettings({}, setup, PageGeometryOf(setup)));
  const DrawingPlan plan = DrawingPlan::Pages(layout, {}, setup, c.breaks);
  std::vector<std::u16string> pages;
  for (std::size_t n = 0; n < plan.SheetCount(); ++n) {
    std::u16string& page = pages.emplace_back();
    plan.ForEachCell(plan.PlanSheet(n), [&](const PlannedCell& cell) { page += cell.text; });
  }
  EXPECT_EQ(pages, c.pages);
}

using Side = PageBreak::Side;
INSTANTIATE_TEST_SUITE_P(
    Breaks, PageBreaks,
    testing::Values(
        PageBreakCase{"None", u"あ\r\nい\r\nう\r\nえ", {}, {u"あいうえ"}},
        PageBreakCase{"BeforeALine", u"あ\r\nい\r\nう\r\nえ", {{2}}, {u"あい", u"うえ"}},
        PageBreakCase{"AtTheHeadOfThePage", u"あ\r\nい", {{0}, {0, Side::kOdd}}, {u"あい"}},
        PageBreakCase{"TwoInARow", u"あ\r\nい\r\nう", {{1}, {2}}, {u"あ", u"い", u"う"}},
        // A blank line between two breaks is a page of its own.
        PageBreakCase{"ABlankPage", u"あ\r\n\r\nい", {{1}, {2}}, {u"あ", u"", u"い"}},
        PageBreakCase{
            "AnOddPageAfterAnOddOne", u"あ\r\nい", {{1, Side::kOdd}}, {u"あ", u"", u"い"}},
        PageBreakCase{"AnEvenPageAfterAnOddOne", u"あ\r\nい", {{1, Side::kEven}}, {u"あ", u"い"}},
        PageBreakCase{"AnEvenPageAfterAnEvenOne",
                      u"あ\r\nい\r\nう",
                      {{1}, {2, Side::kEven}},
                      {u"あ", u"い", u"", u"う"}},
        // A line cut into columns moves whole.
        PageBreakCase{"ACutLine",
                      u"あ\r\n" + std::u16string(30, u'い'),
                      {{1}},
                      {u"あ", std::u16string(30, u'い')}}),
    testing_support::CaseName());

// A picture's columns stand the style's spacing apart, rounded to whole
// pixels, inside a margin of one cell; its grid frames every cell, only
// when asked, and the paper between the columns is cleared of the rows'
// lines.
TEST(DrawingPlanTest, APicturesColumnsStandApartInsideAMarginAndItsGridFramesEveryCell) {
  const VerticalLayout layout = LayoutOf(u"あいう\r\nか\r\nさ");
  // Asked for cells a line high, the picture's cells stay square.
  const CellBox box{20, 22};
  const struct {
    double spacing;
    double space;  // in pixels
  } spacings[] = {{0.5, 10}, {0.75, 15}, {1, 20}, {0.53, 11}};
  for (const auto& [spacing, space] : spacings) {
    for (const bool grid : {false, true}) {
      SCOPED_TRACE(testing::Message() << spacing << (grid ? " grid" : ""));
      PictureStyle style{20, grid};
      style.columnSpacing = spacing;
      const DrawingPlan plan = DrawingPlan::Picture(layout, style, box, PictureFormat::Png);
      ASSERT_EQ(plan.SheetCount(), 1u);
      const SheetPlan sheet = plan.PlanSheet(0);
      EXPECT_EQ(sheet.background, kPaperColour);
      const std::vector<double> lefts{20 + 2 * (20 + space), 20 + 20 + space, 20};
      EXPECT_EQ(sheet.columnLefts, lefts);
      EXPECT_DOUBLE_EQ(sheet.top, 20);
      EXPECT_DOUBLE_EQ(sheet.width, 20 * 5 + 2 * space);
      EXPECT_EQ(PictureSizeOf(layout, PictureCell(20, spacing)).width,
                static_cast<std::int64_t>(sheet.width));
      EXPECT_DOUBLE_EQ(sheet.height, 20 * 5);
      EXPECT_DOUBLE_EQ(sheet.cellHeight, sheet.cellWidth);
      if (!grid) {
        EXPECT_TRUE(sheet.beneath.empty());
        continue;
      }
      // Every line down stands at a column's edge, every line across runs
      // over the columns at a row's edge; the cleared paper lies between
      // two columns, over no cell.
      const auto atColumnEdge = [&](double x) {
        return std::any_of(lefts.begin(), lefts.end(),
                           [&](double left) { return x == left || x == left + 20; });
      };
      std::size_t down = 0;
      std::size_t across = 0;
      for (const PaintStep& step : sheet.beneath) {
        const std::vector<double>& at = step.coordinates;
        for (std::size_t i = 0; i + 3 < at.size(); i += 4) {
          if (step.kind == PaintStep::Kind::kRectangles) {
            EXPECT_EQ(step.colour, kPaperColour);
            const bool between =
                (at[i] == 40 && at[i + 2] == space) || (at[i] == 60 + space && at[i + 2] == space);
            EXPECT_TRUE(between) << at[i] << " " << at[i + 2];
          } else if (at[i] == at[i + 2]) {
            ++down;
            EXPECT_TRUE(atColumnEdge(at[i])) << at[i];
          } else {
            ++across;
            EXPECT_DOUBLE_EQ(at[i + 1] / 20, std::round(at[i + 1] / 20));
            EXPECT_DOUBLE_EQ(at[i], 20);
            EXPECT_DOUBLE_EQ(at[i + 2], 20 + 60 + 2 * space);
          }
        }
      }
      EXPECT_EQ(down, 6u);
      EXPECT_EQ(across, 4u);
    }
  }
}

// On manuscript paper every square is ruled on both sides, and the paper
// cleared between the columns never covers a square. Each reading is
// written in the strip to the right of its column, clear of the lines on
// either side and of every square, and within the column's squares,
// inside the frame: beside the first column of each half, beside the band,
// at a column's head and at its foot.
TEST(DrawingPlanTest, GenkouRulesEverySquareAndWritesReadingsInTheStripsBetween) {
  const PageSetup setup = Genkou();
  LayoutSettings settings;
  settings.ruby = true;
  // Column k holds its base in square k, its reading longer than it.
  const std::u16string_view reading = u"わざわいわざわい";
  std::u16string text;
  for (std::size_t k = 0; k < kGenkouSquares; ++k) {
    text += std::u16string(k, u'あ') + u"字《" + std::u16string(reading) + u"》\r\n";
  }
  const VerticalLayout layout =
      LayoutOf(text, PageLayoutSettings(settings, setup, PageGeometryOf(setup)));
  const DrawingPlan plan = DrawingPlan::Pages(layout, {}, setup);
  const SheetPlan page = plan.PlanSheet(0);
  ASSERT_EQ(page.columns.size(), static_cast<std::size_t>(kGenkouSquares));
  const double bottom = page.top + kGenkouSquares * page.cellWidth;
  std::vector<double> downLines;
  double pen = 0;
  for (const PaintStep& step : page.beneath) {
    const std::vector<double>& at = step.coordinates;
    for (std::size_t i = 0; i + 3 < at.size(); i += 4) {
      if (step.kind == PaintStep::Kind::kLines) {
        if (at[i] == at[i + 2] && at[i + 1] <= page.top && at[i + 3] >= bottom) {
          downLines.push_back(at[i]);
        }
        pen = step.penWidth;
        continue;
      }
      EXPECT_EQ(step.colour, kPaperColour);
      for (const double left : page.columnLefts) {
        const bool overlaps = at[i] < left + page.cellWidth && at[i] + at[i + 2] > left;
        EXPECT_FALSE(overlaps) << "cleared " << at[i] << " over the square at " << left;
      }
    }
  }
  for (const double left : page.columnLefts) {
    for (const double edge : {left, left + page.cellWidth}) {
      EXPECT_NE(std::find(downLines.begin(), downLines.end(), edge), downLines.end()) << edge;
    }
  }
  std::size_t n = 0;
  plan.ForEachRubyCell(page, [&](const PlannedCell& cell) {
    const std::size_t k = n++ / reading.size();
    SCOPED_TRACE(k);
    ASSERT_LT(k, page.columns.size());
    const double right = cell.left + page.rubyCell;
    const double columnRight = page.columnLefts[k] + page.cellWidth;
    EXPECT_TRUE(cell.left > columnRight && cell.left < columnRight + page.cellWidth / 2);
    for (const double x : downLines) {
      EXPECT_FALSE(x + pen / 2 > cell.left && x - pen / 2 < right) << "the line at " << x;
    }
    for (const double left : page.columnLefts) {
      EXPECT_FALSE(left < right && left + page.cellWidth > cell.left) << "the square at " << left;
    }
    EXPECT_TRUE(Inside(cell.top, page.top, bottom - page.rubyCell)) << cell.top;
  });
  EXPECT_EQ(n, reading.size() * kGenkouSquares);
  EXPECT_LE(page.rubyCharacterSize, page.rubyCell);
}

TEST(DrawingPlanTest, EachCellIsSetAsTheGlyphRuleSaysUnderTheStyle) {
  const VerticalLayout layout = LayoutOf(u"あー、－");
  for (const bool glyphForms : {false, true}) {
    PictureStyle style;
    style.verticalGlyphs = glyphForms;
    const DrawingPlan plan =
        DrawingPlan::Picture(layout, style, CellBox{24, 26}, PictureFormat::Png);
    std::vector<CellOrientation> orientations;
    plan.ForEachCell(plan.PlanSheet(0),
                     [&](const PlannedCell& cell) { orientations.push_back(cell.orientation); });
    using enum CellOrientation;
    const std::vector<CellOrientation> expected =
        glyphForms ? std::vector{kVerticalOrUpright, kVerticalOrTurned, kVerticalOrUpright, kTurned}
                   : std::vector(4, kAsItStands);
    EXPECT_EQ(orientations, expected);
  }
}

struct RubyCase {
  const char* name;
  std::u16string_view text;
  std::size_t columnLength;
  // Each reading's character as "か:k@t": in the sheet's column k (0 =
  // the rightmost), t of its cells (half a text cell) below the column's
  // top.
  std::vector<std::u16string> expected;
};

class RubyPlacement : public testing::TestWithParam<RubyCase> {};

TEST_P(RubyPlacement, SetsEachReadingBesideItsBase) {
  LayoutSettings settings;
  settings.columnLength = GetParam().columnLength;
  settings.ruby = true;
  const VerticalLayout layout = LayoutOf(GetParam().text, settings);
  for (const PictureFormat format : {PictureFormat::Png, PictureFormat::Pdf}) {
    const DrawingPlan plan = DrawingPlan::Picture(layout, {}, CellBox{20, 20}, format);
    const SheetPlan sheet = plan.PlanSheet(0);
    EXPECT_EQ(sheet.rubyCell, 10);
    EXPECT_EQ(sheet.rubyCharacterSize, 10);
    std::vector<std::u16string> placed;
    plan.ForEachRubyCell(sheet, [&](const PlannedCell& cell) {
      const auto k = static_cast<std::size_t>(
          std::find_if(sheet.columnLefts.begin(), sheet.columnLefts.end(),
                       [&](double left) { return left + sheet.rubyLeft == cell.left; }) -
          sheet.columnLefts.begin());
      const double t = (cell.top - sheet.top) / sheet.rubyCell;
      std::string at = std::to_string(k) + "@" + std::to_string(t);
      at.erase(at.find_last_not_of('0') + 1);
      if (at.back() == '.') at.pop_back();
      placed.push_back(std::u16string(cell.text) + u":" + std::u16string(at.begin(), at.end()));
    });
    EXPECT_EQ(placed, GetParam().expected);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, RubyPlacement,
    testing::Values(
        RubyCase{"ShortReadingCentred", u"漢字《かん》", 0, {u"か:0@1", u"ん:0@2"}},
        RubyCase{"OneForOne", u"あ字《じ》", 0, {u"じ:0@2.5"}},
        RubyCase{"HalfACellOverTheKanaOnEachSide",
                 u"あ字《わざわ》あ",
                 0,
                 {u"わ:0@1.5", u"ざ:0@2.5", u"わ:0@3.5"}},
        RubyCase{"NotOverAKanji", u"漢｜字《わざわ》あ", 0, {u"わ:0@2", u"ざ:0@3", u"わ:0@4"}},
        RubyCase{"OverTheBlankHalfOfTheMarkBefore",
                 u"、字《わざわい》あ",
                 0,
                 {u"わ:0@1", u"ざ:0@2", u"わ:0@3", u"い:0@4"}},
        RubyCase{
            "NotOverTheInkOfABracket", u"「字《わざわ》あ", 0, {u"わ:0@2", u"ざ:0@3", u"わ:0@4"}},
        RubyCase{"LongerThanTheRoomRunsOverAfter",
                 u"あ字《わざわい》あ",
                 0,
                 {u"わ:0@1.5", u"ざ:0@2.5", u"わ:0@3.5", u"い:0@4.5"}},
        RubyCase{"NeverAboveTheColumn", u"字《わざわ》", 0, {u"わ:0@0", u"ざ:0@1", u"わ:0@2"}},
        RubyCase{"NeverOverTheReadingBefore",
                 u"字《わざ》字《わざわ》",
                 0,
                 {u"わ:0@0", u"ざ:0@1", u"わ:0@2", u"ざ:0@3", u"わ:0@4"}},
        RubyCase{"InTheColumnItsBaseMovedTo",
                 u"あい漢字《かんじ》う",
                 3,
                 {u"か:1@0.5", u"ん:1@1.5", u"じ:1@2.5"}},
        RubyCase{"EachLineItsOwn", u"字《じ》\r\nあ字《じ》", 0, {u"じ:0@0.5", u"じ:1@2.5"}},
        RubyCase{"BeyondTheBmp", u"𠮷《𠮷𠮷》", 0, {u"𠮷:0@0", u"𠮷:0@1"}}),
    testing_support::CaseName());

// Where a cell or a reading stands along its column, in text cells from
// the column's top.
struct Stretch {
  double top = 0;
  double end = 0;
};

bool Overlap(const Stretch& a, const Stretch& b) {
  return std::min(a.end, b.end) - std::max(a.top, b.top) > 1e-9;
}

// Pictures of a character to a cell, fitted to columns of 10 or each line
// a column, or with Latin set sideways.
enum class Picture : std::uint8_t { kNone, kGrid, kWholeLines, kSideways };

struct LongRubyCase {
  const char* name;
  std::u16string_view text;
  Paper paper;
  // Whether some base is spaced out beyond the cells it fills.
  bool spaced;
  // Whether the cells keep their grid, where a reading runs on past its
  // base whatever stands there.
  bool grid = false;
  Picture picture = Picture::kNone;
};

LongRubyCase InAPicture(const char* name, std::u16string_view text, bool spaced, Picture picture) {
  return {name, text, Paper::kA5, spaced, false, picture};
}

class LongReadings : public testing::TestWithParam<LongRubyCase> {};

// On pages that flow and in pictures, a base whose reading is longer than
// it and the room beside it is spaced out: 1:2:1 before, between and after
// its characters (by whole cells where a picture keeps its grid), flush
// with the column's head or end where it stands there, its reading never
// over a kanji or another reading, over kana by a quarter of a cell at
// most, every column within its length and a picture's readings within it.
TEST_P(LongReadings, NeverRunOverAKanjiOrAnotherReadingNorPastTheColumn) {
  const LongRubyCase& c = GetParam();
  PageSetup setup{true, c.paper};
  if (c.paper != Paper::kGenkou) setup.columnLength = 10;
  LayoutSettings settings;
  settings.ruby = true;
  const bool picture = c.picture != Picture::kNone;
  if (picture && c.picture != Picture::kWholeLines) settings.columnLength = 10;
  if (c.picture == Picture::kSideways) settings.latin = LatinSetting::kSideways;
  settings.typesetting = PictureTypesetting(settings);
  const VerticalLayout layout = LayoutOf(
      c.text, picture ? settings : PageLayoutSettings(settings, setup, PageGeometryOf(setup)));
  const DrawingPlan plan = picture ? DrawingPlan::Picture(layout, {}, {20, 20}, PictureFormat::Png)
                                   : DrawingPlan::Pages(layout, {}, setup);
  const SheetPlan sheet = plan.PlanSheet(0);
  const auto length = static_cast<double>(picture ? sheet.rows : layout.ColumnLength());
  // A reading's left edge is its column's moved by a sum: to rounding.
  const auto columnOf = [&](double left) {
    return static_cast<std::size_t>(
        std::find_if(sheet.columnLefts.begin(), sheet.columnLefts.end(),
                     [&](double column) { return std::abs(column - left) < 1e-9; }) -
        sheet.columnLefts.begin());
  };
  const auto stretchOf = [&](const PlannedCell& cell, double extent) {
    return Stretch{(cell.top - sheet.top) / sheet.cellHeight,
                   (cell.top - sheet.top + extent) / sheet.cellHeight};
  };
  // The cases hold no blanks: a column's cells hold its rows in turn, a
  // sideways word one for each letter.
  std::vector<std::vector<Stretch>> cells(sheet.columns.size());
  std::vector<std::vector<std::u16string_view>> texts(sheet.columns.size());
  std::vector<std::vector<std::size_t>> cellOfRow(sheet.columns.size());
  plan.ForEachCell(sheet, [&](const PlannedCell& cell) {
    const std::size_t k = columnOf(cell.left);
    const std::size_t rows = cell.item == CellItem::kSideways ? cell.text.size() : 1;
    cellOfRow[k].insert(cellOfRow[k].end(), rows, cells[k].size());
    cells[k].push_back(stretchOf(cell, cell.extent));
    texts[k].push_back(cell.text);
  });
  std::vector<std::vector<Stretch>> readingCells(sheet.columns.size());
  plan.ForEachRubyCell(sheet, [&](const PlannedCell& cell) {
    readingCells.at(columnOf(cell.left - sheet.rubyLeft))
        .push_back(stretchOf(cell, sheet.rubyCell));
  });
  bool spaced = false;
  for (std::size_t k = 0; k < sheet.columns.size(); ++k) {
    SCOPED_TRACE(k);
    for (std::size_t i = 0; i < cells[k].size(); ++i) {
      const Stretch& cell = cells[k][i];
      EXPECT_TRUE(Inside(cell.top, 0, length) && Inside(cell.end, 0, length));
      const bool offGrid = std::abs(cell.top - std::round(cell.top)) > 1e-9;
      EXPECT_FALSE(offGrid && (c.picture == Picture::kGrid || c.picture == Picture::kWholeLines));
      // Nothing but spacing leaves a gap between a picture's cells.
      spaced = spaced || offGrid || (picture && i > 0 && cell.top > cells[k][i - 1].end + 1e-9);
    }
    if (c.grid) continue;
    const bool full = k + 1 < sheet.columns.size() && !plan.StartsParagraph(sheet.columns[k + 1]);
    std::size_t next = 0;
    Stretch before{0, 0};
    for (const ColumnRuby& ruby : layout.RubyOf(sheet.columns[k])) {
      const std::size_t characters = ReadingCharacters(ruby.reading);
      ASSERT_LE(next + characters, readingCells[k].size());
      const Stretch reading{readingCells[k][next].top, readingCells[k][next + characters - 1].end};
      next += characters;
      EXPECT_TRUE(Inside(reading.top, 0, length) && Inside(reading.end, 0, length));
      // A picture's base spaced at its column's end has its blanks after it.
      spaced = spaced || (picture && reading.end > cells[k].back().end + 1e-9);
      EXPECT_FALSE(Overlap(reading, before));
      before = reading;
      const std::size_t first = cellOfRow[k][ruby.firstRow];
      const std::size_t end = cellOfRow[k][ruby.firstRow + ruby.rows - 1] + 1;
      for (std::size_t i = 0; i < cells[k].size(); ++i) {
        const char32_t character = CodePointAt(texts[k][i], 0).value;
        const bool kana = character >= U'\u3041' && character <= U'\u30FA';
        const Stretch over{std::max(reading.top, cells[k][i].top),
                           std::min(reading.end, cells[k][i].end)};
        if (i >= first && i < end) continue;
        EXPECT_FALSE(IsRubyBaseKanji(character) && Overlap(reading, cells[k][i])) << i;
        EXPECT_FALSE(kana && over.end - over.top > 0.25 + 1e-9) << i;
      }
      EXPECT_TRUE(first != 0 || std::abs(cells[k][first].top) < 1e-9);
      EXPECT_TRUE(picture || end != cells[k].size() || !full ||
                  std::abs(cells[k][end - 1].end - length) < 1e-9);
    }
  }
  EXPECT_EQ(spaced, c.spaced);
}

INSTANTIATE_TEST_SUITE_P(
    Table, LongReadings,
    testing::Values(
        LongRubyCase{"OverTheKanaOnEachSide", u"彼の志《こころざし》は高い", Paper::kA5, true},
        LongRubyCase{"LongerThanTheKanaAllow", u"｜日《にちようびのあさ》です", Paper::kA5, true},
        LongRubyCase{"AtAColumnsHead", u"志《こころざし》は高い山に登る", Paper::kA5, true},
        LongRubyCase{"AtAColumnsEnd", u"あいうえおかき志《こころざし》くけこさしす", Paper::kA5,
                     true},
        LongRubyCase{"TwoInARow", u"日《にちようび》月《げつようび》は休み", Paper::kA5, true},
        LongRubyCase{"OneTwoOneInAGroup", u"彼は漢字《かんじかんじかん》を書く", Paper::kA5, true},
        LongRubyCase{"AfterALatinWord", u"pkcon志《こころざし》は", Paper::kA5, true},
        LongRubyCase{"ShortReadingsKeepTheirCells", u"漢字《かんじ》を読む", Paper::kA5, false},
        LongRubyCase{"GenkouKeepsItsSquares", u"彼の志《こころざし》は高い", Paper::kGenkou, false,
                     true},
        InAPicture("GridAtAColumnsHead",
                   u"｜日《にちようびのあさ》に来た。\r\n漢《かんじかんじ》字", true,
                   Picture::kGrid),
        InAPicture("GridAtTheEndOfACutColumn", u"あいうえおかき志《こころざし》くけこさしす", true,
                   Picture::kGrid),
        InAPicture("GridAloneInItsColumn", u"志《こころざし》\r\nあ", true, Picture::kGrid),
        // Two halves of a cell that the column holds as two cells.
        InAPicture("GridTwoInARow", u"あいうえおか日《にちよ》月《げつよ》きくけこ", true,
                   Picture::kGrid),
        InAPicture("GridOneTwoOneInAGroup", u"彼は漢字《かんじかんじかん》を書く", true,
                   Picture::kGrid),
        InAPicture("GridOverTheKanaOnEachSide", u"あ字《わざわ》あ", false, Picture::kGrid),
        InAPicture("WholeLines", u"漢字の志《こころざしこころざし》\r\n日《にちようびのあさ》",
                   true, Picture::kWholeLines),
        InAPicture("Sideways",
                   u"｜日《にちようびのあさ》にpkconを\r\nあいうえおかきくけ志《こころざし》", true,
                   Picture::kSideways)),
    testing_support::CaseName());

// The space a base takes for a long reading: all of it, before, between
// and after its characters 1:2:1 (one character: evenly), none on the side
// of the column's edge it stands at.
TEST(DrawingPlanTest, ABaseSharesItsSpaceOneTwoOneAndKeepsTheColumnsEdges) {
  for (const std::size_t parts : {1, 2, 3}) {
    for (const bool atHead : {false, true}) {
      for (const bool atEnd : {false, true}) {
        SCOPED_TRACE(std::to_string(parts) + (atHead ? " head" : "") + (atEnd ? " end" : ""));
        const BaseSpacing spacing = ShareBaseSpacing(1.5, parts, atHead, atEnd);
        // Three whole cells: each gap within a cell of its share, all three.
        const std::vector<std::size_t> cells = ShareBaseCells(3, parts, atHead, atEnd);
        ASSERT_EQ(cells.size(), parts + 1);
        for (std::size_t j = 0; j <= parts; ++j) {
          const double share = j == 0       ? spacing.before
                               : j == parts ? spacing.after
                                            : spacing.between;
          EXPECT_LT(std::abs(static_cast<double>(cells[j]) - 2 * share), 1) << j;
        }
        EXPECT_EQ(std::accumulate(cells.begin(), cells.end(), std::size_t{0}), 3u);
        EXPECT_NEAR(
            spacing.before + spacing.between * static_cast<double>(parts - 1) + spacing.after, 1.5,
            1e-9);
        EXPECT_TRUE(!atHead || spacing.before == 0);
        EXPECT_TRUE(!atEnd || atHead || spacing.after == 0);
        const bool inside = !atHead && !atEnd;
        EXPECT_TRUE(!inside || std::abs(spacing.before - spacing.after) < 1e-9);
        EXPECT_TRUE(!inside || parts == 1 || std::abs(spacing.between - 2 * spacing.before) < 1e-9);
      }
    }
  }
  EXPECT_EQ(ShareBaseSpacing(-0.5, 2, false, false).between, 0);
}

// A PDF picture's sheets are bands of its rows: a reading is drawn once, on
// the sheet where its base stands as it was spaced.
TEST(DrawingPlanTest, AReadingIsDrawnOnTheSheetWhereItsSpacedBaseStands) {
  LayoutSettings settings{0, {}, 0, true};
  settings.typesetting = PictureTypesetting(settings);
  const VerticalLayout layout = LayoutOf(u"あ日《にちようびのあさ》来月《げつようび》", settings);
  // Cells so large that every sheet holds one.
  const DrawingPlan plan = DrawingPlan::Picture(layout, {}, {7000, 7000}, PictureFormat::Pdf);
  std::size_t drawn = 0;
  for (std::size_t n = 0; n < plan.SheetCount(); ++n) {
    const SheetPlan sheet = plan.PlanSheet(n);
    plan.ForEachRubyCell(sheet, [&](const PlannedCell& cell) {
      // The first of にちようびのあさ, then of げつようび.
      const bool first = drawn == 0 || drawn == 8;
      EXPECT_TRUE(!first || Inside(cell.top, sheet.top, sheet.top + sheet.cellHeight)) << n;
      ++drawn;
    });
  }
  EXPECT_EQ(drawn, 13u);
}

TEST(DrawingPlanTest, ALayoutWithoutRubyDrawsNoReadings) {
  const VerticalLayout layout = LayoutOf(u"漢字《かんじ》");
  const DrawingPlan plan = DrawingPlan::Pages(layout, {}, A6TwoColumnsOfFive());
  std::size_t cells = 0;
  plan.ForEachRubyCell(plan.PlanSheet(0), [&](const PlannedCell&) { ++cells; });
  EXPECT_EQ(cells, 0u);
}

}  // namespace
}  // namespace mirotabe
