#include "core/page_setup.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <variant>

#include "core/settings.h"
#include "core/vertical_layout.h"
#include "tests/support/temp_folder.h"

namespace mirotabe {
namespace {

struct GeometryCase {
  PageSetup setup;
  double width;
  double height;
  std::size_t cellsPerColumn;
  std::size_t columnsPerPage;
};

// Paper in points; 15 mm margins; characters of 10.5 points, columns 1.75
// characters apart, as many as fit unless given.
TEST(PageGeometryTest, PaperAndWhatFitsOnIt) {
  const auto setup = [](Paper paper, bool landscape = false, std::size_t length = 0,
                        std::size_t columns = 0) {
    PageSetup s;
    s.enabled = true;
    s.paper = paper;
    s.landscape = landscape;
    s.columnLength = length;
    s.columns = columns;
    return s;
  };
  for (const GeometryCase& c : {
           GeometryCase{setup(Paper::kA4), 595.28, 841.89, 72, 28},
           GeometryCase{setup(Paper::kA4, true), 841.89, 595.28, 48, 41},
           GeometryCase{setup(Paper::kB5), 515.91, 728.50, 61, 23},
           GeometryCase{setup(Paper::kA5), 419.53, 595.28, 48, 18},
           GeometryCase{setup(Paper::kB6), 362.83, 515.91, 41, 15},
           GeometryCase{setup(Paper::kA6), 297.64, 419.53, 31, 11},
           GeometryCase{setup(Paper::kLetter), 612, 792, 67, 29},
           GeometryCase{setup(Paper::kA4, false, 40, 20), 595.28, 841.89, 40, 20},
           GeometryCase{setup(Paper::kA4, false, 100, 60), 595.28, 841.89, 100, 60},
           GeometryCase{setup(Paper::kGenkou), 841.89, 595.28, 20, 20},
       }) {
    SCOPED_TRACE(static_cast<int>(c.setup.paper) * 10 + (c.setup.landscape ? 1 : 0));
    const PageGeometry g = PageGeometryOf(c.setup);
    EXPECT_NEAR(g.width, c.width, 0.01);
    EXPECT_NEAR(g.height, c.height, 0.01);
    EXPECT_EQ(g.cellsPerColumn, c.cellsPerColumn);
    EXPECT_EQ(g.columnsPerPage, c.columnsPerPage);
    // Everything stands inside the paper: the top row to the bottom one, the
    // rightmost column to the leftmost.
    EXPECT_GT(g.top, 0);
    EXPECT_LE(g.top + static_cast<double>(g.cellsPerColumn) * g.cell, g.height - g.top + 0.01);
    EXPECT_LE(g.ColumnLeft(0) + g.cell, g.width);
    EXPECT_GE(g.ColumnLeft(g.columnsPerPage - 1), 0);
  }
}

// Columns stand three quarters of a character apart unless the setup
// says otherwise; manuscript paper keeps its printed ruling.
TEST(PageGeometryTest, ColumnsStandTheSetupsSpacingApart) {
  const struct {
    Paper paper;
    std::optional<double> spacing;
    double pitch;  // in squares
    std::size_t columnsPerPage;
  } cases[] = {
      {Paper::kA4, std::nullopt, 1.75, 28},
      {Paper::kA4, 0.5, 1.5, 32},
      {Paper::kA4, 1.0, 2, 24},
      {Paper::kA4, 3.0, 1.75, 28},
      {Paper::kGenkou, 1.0, 1.25, 20},
  };
  for (const auto& c : cases) {
    PageSetup setup{true, c.paper};
    setup.columnSpacing = c.spacing;
    const PageGeometry g = PageGeometryOf(setup);
    SCOPED_TRACE(testing::Message() << static_cast<int>(c.paper) << " " << c.spacing.value_or(-1));
    EXPECT_NEAR(g.columnPitch, c.pitch * g.cell, 1e-9);
    EXPECT_EQ(g.columnsPerPage, c.columnsPerPage);
    EXPECT_GE(g.ColumnLeft(g.columnsPerPage - 1), 0);
  }
}

TEST(PageGeometryTest, ManuscriptPaperIsTwoHalvesOfTenSquareColumnsAroundTheBand) {
  const PageGeometry g = PageGeometryOf(PageSetup{true, Paper::kGenkou});
  EXPECT_TRUE(g.genkou);
  EXPECT_NEAR(g.cell, 25.51, 0.01);  // (210 − 2 × 15) mm / 20
  EXPECT_NEAR(g.columnPitch, 1.25 * g.cell, 1e-9);
  EXPECT_NEAR(g.bandWidth, 2 * g.cell, 1e-9);
  for (std::size_t k = 1; k < 20; ++k) {
    const double step = g.ColumnLeft(k - 1) - g.ColumnLeft(k);
    // The band, and half a strip each side of it.
    const double band = g.bandWidth + (g.columnPitch - g.cell);
    EXPECT_NEAR(step, k == 10 ? g.columnPitch + band : g.columnPitch, 1e-9) << k;
  }
  // Centred on the page, the strip to the right of the first column
  // included.
  const double left = g.ColumnLeft(19);
  const double right = g.ColumnLeft(0) + g.columnPitch;
  EXPECT_NEAR(left, g.width - right, 1e-6);
  EXPECT_NEAR(g.top, (g.height - 20 * g.cell) / 2, 1e-9);
}

// On every paper, whatever the margin and the size of the characters, the
// page number stands at least 8 mm inside the paper's edge, below the text
// and the row a character hangs into, large enough to read.
TEST(PageGeometryTest, PageNumbersStandClearOfTheTextAndOfThePapersEdge) {
  const double inset = kPageNumberInsetMm * 72 / 25.4;
  for (int paper = 0; paper <= kMaxPaper; ++paper) {
    for (const int margin : {0, 5, kDefaultMarginMm, kMaxMarginMm}) {
      for (const double points : {kMinCharacterPoints, kDefaultCharacterPoints, 30.0}) {
        PageSetup setup{true, static_cast<Paper>(paper)};
        setup.marginMm = margin;
        setup.characterPoints = points;
        setup.pageNumbers = true;
        const PageGeometry g = PageGeometryOf(setup);
        SCOPED_TRACE(testing::Message() << paper << " " << margin << " mm " << points << " pt");
        const double squares = g.top + static_cast<double>(g.cellsPerColumn) * g.cell;
        EXPECT_GE(g.footTop, squares + (g.genkou ? 0 : g.cell) - 1e-9);
        EXPECT_LE(g.footBottom, g.height - inset + 1e-9);
        const double size = PageNumberSize(g);
        EXPECT_GE(size, 8 - 1e-9);
        EXPECT_LE(size, g.footBottom - g.footTop + 1e-9);
      }
    }
  }
}

// Characters fill an ordinary page's squares; on manuscript paper they are
// smaller than the square, clear of its lines.
TEST(PageGeometryTest, CharactersFillTheSquareExceptOnManuscriptPaper) {
  for (int paper = 0; paper <= kMaxPaper; ++paper) {
    const PageGeometry g = PageGeometryOf(PageSetup{true, static_cast<Paper>(paper)});
    EXPECT_DOUBLE_EQ(g.character, g.genkou ? 0.8 * g.cell : g.cell) << paper;
  }
}

TEST(PageCountTest, ColumnsOfAKnownTextFillThePages) {
  const PageGeometry g = PageGeometryOf(PageSetup{true, Paper::kA4});
  // 60 short lines and one of 150 characters, cut at 72: 63 columns, three
  // pages of 28.
  std::u16string text;
  for (int i = 0; i < 60; ++i) text += u"あいう\r\n";
  text += std::u16string(150, u'字');
  const LayoutResult layout = BuildVerticalLayout(
      text, {4, SwapTable(), LayoutSettings{g.cellsPerColumn, Kinsoku::kHang, 0}});
  const auto& columns = std::get<VerticalLayout>(layout);
  EXPECT_EQ(columns.ColumnCount(), 63u);
  EXPECT_EQ(PageCount(columns.ColumnCount(), g), 3u);
  EXPECT_EQ(PageCount(0, g), 1u);
  EXPECT_EQ(PageCount(28, g), 1u);
  EXPECT_EQ(PageCount(29, g), 2u);
}

// Pages push out unless told otherwise: by their own rule, or by the
// layout's where that is on.
TEST(PageLayoutSettingsTest, PagesFollowTheRulesByDefault) {
  constexpr Kinsoku kNone = Kinsoku::kNone;
  constexpr Kinsoku kHang = Kinsoku::kHang;
  constexpr Kinsoku kPush = Kinsoku::kPushOut;
  const struct {
    std::optional<Kinsoku> page;
    Kinsoku layout;
    Kinsoku expected;
  } cases[] = {
      {std::nullopt, kNone, kPush}, {std::nullopt, kHang, kHang}, {std::nullopt, kPush, kPush},
      {kNone, kHang, kNone},        {kNone, kNone, kNone},        {kHang, kNone, kHang},
  };
  for (const auto& c : cases) {
    PageSetup setup{true, Paper::kA5};
    setup.kinsoku = c.page;
    const LayoutSettings paged =
        PageLayoutSettings(LayoutSettings{0, c.layout, 1}, setup, PageGeometryOf(setup));
    EXPECT_EQ(paged.kinsoku, c.expected)
        << static_cast<int>(c.page.value_or(Kinsoku{9})) << static_cast<int>(c.layout);
    EXPECT_EQ(paged.columnLength, 48u);
    EXPECT_EQ(paged.columnGap, 1);
  }
}

TEST(PageSetupTest, IsKeptInThePageSectionAndNamedOnTheCommandLine) {
  testing_support::TempFolder folder;
  const std::string path = folder.PathOf("Setting.ini");
  AppSettings settings;
  settings.page = PageSetup{true, Paper::kB6, true, 10, 9.5, 30, 12, true};
  settings.page.face = Typeface::kGothic;
  ASSERT_TRUE(SaveSettings(settings, path, SettingsPart::kPageSetup).ok());
  AppSettings read;
  ASSERT_TRUE(LoadSettings(read, path).ok());
  EXPECT_EQ(read.page, settings.page);
  EXPECT_EQ(testing_support::ReadFile(path).find("ColumnSpacing"), std::string::npos);
  // The page's own rule and spacing are written only once they are set.
  settings.page.kinsoku = Kinsoku::kNone;
  settings.page.columnSpacing = 0.875;
  ASSERT_TRUE(SaveSettings(settings, path, SettingsPart::kPageSetup).ok());
  ASSERT_TRUE(LoadSettings(read, path).ok());
  EXPECT_EQ(read.page, settings.page);
  testing_support::WriteFile(
      path,
      "[Page]\r\nPaper=9\r\nCharacterPoints=x\r\nMargin=99\r\nKinsoku=3\r\nColumnSpacing=2\r\n"
      "Font=2\r\n");
  ASSERT_TRUE(LoadSettings(read, path).ok());
  EXPECT_EQ(read.page, PageSetup{});
  // Points are read the same whatever the locale's decimal mark.
  for (const auto& [text, points] : {std::pair{"12.25", 12.25},
                                     {"8", 8.0},
                                     {"12,5", 10.5},
                                     {".", 10.5},
                                     {"1e1", 10.5},
                                     {"99", 10.5}}) {
    testing_support::WriteFile(path, std::string("[Page]\r\nCharacterPoints=") + text + "\r\n");
    ASSERT_TRUE(LoadSettings(read, path).ok());
    EXPECT_EQ(read.page.characterPoints, points) << text;
  }
  EXPECT_EQ(PaperNamed("genkou"), Paper::kGenkou);
  EXPECT_EQ(PaperNamed("letter"), Paper::kLetter);
  EXPECT_EQ(PaperNamed("A4"), std::nullopt);
  EXPECT_EQ(TypefaceNamed("mincho"), Typeface::kMincho);
  EXPECT_EQ(TypefaceNamed("gothic"), Typeface::kGothic);
  EXPECT_EQ(TypefaceNamed("Mincho"), std::nullopt);
}

}  // namespace
}  // namespace mirotabe
