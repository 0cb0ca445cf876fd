// The PNG pictures of the painter: their size, where the ink of each cell
// and of the grid falls, and the forms the glyphs take.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <ostream>
#include <string>
#include <variant>
#include <vector>

#include "core/vertical_presets.h"
#include "render/pictures.h"
#include "render/typeface_fonts.h"
#include "tests/support/case_name.h"
#include "tests/support/program_lines.h"

namespace mirotabe {
namespace {

using enum SwapKind;
using testing_support::Lines;

VerticalLayout LayoutOf(std::u16string_view text, const SwapTable& table = {}) {
  return std::get<VerticalLayout>(BuildVerticalLayout(text, {4, table, {}}));
}

std::optional<GreyImage> ImageOf(const VerticalLayout& layout, const PictureStyle& style) {
  FontChain fonts(TypefaceFonts(Typeface::kGothic));
  return PictureImage(layout, style, fonts);
}

struct Box {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  int Right() const { return left + width - 1; }
  int Bottom() const { return top + height - 1; }
  bool Contains(const Box& other) const {
    return other.width == 0 || (other.left >= left && other.top >= top &&
                                other.Right() <= Right() && other.Bottom() <= Bottom());
  }
};

// The ink of a region: the count of pixels darker than mid-grey, and their
// bounding box.
struct Ink {
  int pixels = 0;
  Box box;
};

Ink InkIn(const GreyImage& image, const Box& region) {
  Ink ink;
  int right = 0;
  int bottom = 0;
  for (int y = region.top; y <= region.Bottom(); ++y) {
    for (int x = region.left; x <= region.Right(); ++x) {
      if (image.At(x, y) >= 0x80) continue;
      if (ink.pixels++ == 0) {
        ink.box = Box{x, y, 1, 1};
        right = x;
        bottom = y;
      }
      ink.box.left = std::min(ink.box.left, x);
      ink.box.top = std::min(ink.box.top, y);
      right = std::max(right, x);
      bottom = std::max(bottom, y);
      ink.box.width = right - ink.box.left + 1;
      ink.box.height = bottom - ink.box.top + 1;
    }
  }
  return ink;
}

struct SizeCase {
  const char* name;
  std::u16string text;
  PictureStyle style;
  int width;
  int height;
};

class PainterImageSizeTest : public testing::TestWithParam<SizeCase> {};

// The image is the cells, the spaces between the columns and a margin of
// one cell all round.
TEST_P(PainterImageSizeTest, IsTheCellsAndTheMargin) {
  const SizeCase& c = GetParam();
  const std::optional<GreyImage> image = ImageOf(LayoutOf(c.text), c.style);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->width, c.width);
  EXPECT_EQ(image->height, c.height);
  EXPECT_EQ(image->pixels.size(), static_cast<std::size_t>(c.width) * c.height);
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, PainterImageSizeTest,
    testing::Values(
        SizeCase{"Empty", u"", {}, 48, 48}, SizeCase{"OneCell", u"あ", {}, 72, 72},
        SizeCase{"TwoColumnsThreeRows", u"あいう\r\nかき", {}, 108, 120},
        SizeCase{"WidestSpacing", u"あいう\r\nかき", {24, false, true, std::nullopt, 1}, 120, 120},
        SizeCase{"SmallestCells", u"あいう\r\nかき", {kMinCellSize, false}, 36, 40},
        SizeCase{"TallestAllowed", std::u16string(1363, u'あ'), {}, 72, 32760}),
    testing_support::CaseName());

TEST(PainterImageLimitTest, APngWiderOrTallerThanAllowedIsRefused) {
  for (const VerticalLayout& layout :
       {LayoutOf(Lines(910, u"あ")), LayoutOf(std::u16string(1364, u'あ'))}) {
    EXPECT_FALSE(ImageOf(layout, {}));
    FontChain fonts(TypefaceFonts(Typeface::kGothic));
    const IoResult<std::string> png = PictureFile(layout, {}, PictureFormat::Png, fonts);
    ASSERT_FALSE(png.ok());
    EXPECT_EQ(png.error().code, std::make_error_code(std::errc::file_too_large));
  }
}

TEST(PainterImageTest, EachCellsTextIsCentredInItsCellAndNothingElseIsInked) {
  // Two columns: "国" above a blank on the right, "ab" (one cell after a
  // replacement) above "一" on the left; the second row's right cell is
  // the blank padding.
  SwapTable table;
  table.Append(SwapEntry{u"ｘ", u"ab", kCell});
  const VerticalLayout layout = LayoutOf(u"国\r\nｘ一", table);
  const CellBox box = PictureCell(48);
  const std::optional<GreyImage> image = ImageOf(layout, {box.width, false});
  ASSERT_TRUE(image);
  struct Expected {
    int column;  // 0 = leftmost
    int row;
    bool inked;
  };
  for (const Expected e :
       {Expected{1, 0, true}, Expected{1, 1, false}, Expected{0, 0, true}, Expected{0, 1, true}}) {
    const Box cell{box.width + e.column * (box.width + box.columnSpace), (e.row + 1) * box.height,
                   box.width, box.height};
    const Ink ink = InkIn(*image, cell);
    SCOPED_TRACE(testing::Message() << "column " << e.column << " row " << e.row);
    if (!e.inked) {
      EXPECT_EQ(ink.pixels, 0);
      continue;
    }
    ASSERT_GT(ink.pixels, 0);
    // The ink's horizontal middle is the cell's; the glyph's own design
    // decides its vertical place, which stays inside the cell.
    EXPECT_NEAR(ink.box.left + ink.box.width / 2.0, cell.left + cell.width / 2.0, 2);
    EXPECT_TRUE(cell.Contains(ink.box));
  }
  // The margin all round stays white.
  const Ink all = InkIn(*image, Box{0, 0, image->width, image->height});
  const Box inked{box.width, box.height, 2 * box.width + box.columnSpace, 2 * box.height};
  EXPECT_TRUE(inked.Contains(all.box));
}

TEST(PainterImageTest, TheGridFramesEveryCellSharplyAndOnlyWhenAsked) {
  const CellBox box = PictureCell(20);
  const int w = box.width;
  const int h = box.height;
  const int s = box.columnSpace;
  const VerticalLayout layout = LayoutOf(u"\u3000\u3000\r\n\u3000");  // 2 × 2 cells, no ink
  const std::optional<GreyImage> withGrid = ImageOf(layout, {w, true});
  const std::optional<GreyImage> without = ImageOf(layout, {w, false});
  ASSERT_TRUE(withGrid && without);
  for (int column = 0; column < 2; ++column) {
    const int left = w + column * (w + s);
    for (int n = 0; n <= 2; ++n) {
      struct Point {
        int x, y;
        int beside_x, beside_y;  // the pixel next to it across the line
      };
      for (const Point p : {Point{left + w / 2, h + n * h, left + w / 2, h + n * h + 1},
                            Point{left + (n % 2) * w, h + n * h / 2 + h / 2, left + (n % 2) * w + 1,
                                  h + n * h / 2 + h / 2}}) {
        SCOPED_TRACE(testing::Message() << "column " << column << " at " << p.x << "," << p.y);
        // A line one pixel wide covers its pixel whole, and no other.
        EXPECT_LT(withGrid->At(p.x, p.y), 0xE0);
        EXPECT_EQ(withGrid->At(p.beside_x, p.beside_y), 0xFF);
        EXPECT_EQ(without->At(p.x, p.y), 0xFF);
      }
    }
  }
  // Inside the cells, between the columns and in the margin: white.
  for (const auto& [x, y] : std::vector<std::pair<int, int>>{{w + w / 2, h + h / 2},
                                                             {w / 2, h / 2},
                                                             {2 * w + s / 2, h},
                                                             {2 * w + s / 2, 2 * h},
                                                             {4 * w + s - w / 2, 4 * h - 2},
                                                             {w / 2, 2 * h}}) {
    EXPECT_EQ(withGrid->At(x, y), 0xFF) << x << "," << y;
  }
}

// How a glyph's ink lies: a corner open at one quarter of its box (「 opens
// at the bottom right, ┐ at the bottom left, └ at the top right, 」 at the
// top left), or else taller than twice its width, or wider than twice its
// height.
enum class InkShape {
  kTall,
  kWide,
  kOpenBottomRight,
  kOpenBottomLeft,
  kOpenTopRight,
  kOpenTopLeft
};

void PrintTo(InkShape shape, std::ostream* out) {
  constexpr const char* kNames[] = {"tall",
                                    "wide",
                                    "open at the bottom right",
                                    "open at the bottom left",
                                    "open at the top right",
                                    "open at the top left"};
  *out << kNames[static_cast<int>(shape)];
}

std::optional<InkShape> ShapeOf(const GreyImage& image, const Box& cell) {
  const Ink ink = InkIn(image, cell);
  if (ink.pixels == 0) return std::nullopt;
  const Box& b = ink.box;
  const int mx = b.left + (b.width - 1) / 2;
  const int my = b.top + (b.height - 1) / 2;
  struct Quarter {
    Box box;
    InkShape open;
  };
  const Quarter quarters[] = {
      {Box{mx + 1, my + 1, b.Right() - mx, b.Bottom() - my}, InkShape::kOpenBottomRight},
      {Box{b.left, my + 1, mx - b.left, b.Bottom() - my}, InkShape::kOpenBottomLeft},
      {Box{mx + 1, b.top, b.Right() - mx, my - b.top}, InkShape::kOpenTopRight},
      {Box{b.left, b.top, mx - b.left, my - b.top}, InkShape::kOpenTopLeft}};
  std::vector<InkShape> open;
  for (const Quarter& q : quarters) {
    if (InkIn(image, q.box).pixels * 50 < ink.pixels) open.push_back(q.open);
  }
  if (open.size() == 1) return open.front();
  if (b.height > 2 * b.width) return InkShape::kTall;
  if (b.width > 2 * b.height) return InkShape::kWide;
  return std::nullopt;
}

struct FormCase {
  const char* name;
  bool preset;  // the Shift_JIS preset's entries: ー→｜, 「→┐, 」→└
  bool glyphForms;
  // The shapes of 「, ー, 」, －, ： in turn.
  std::vector<InkShape> shapes;
};

class PainterGlyphFormTest : public testing::TestWithParam<FormCase> {};

// Each cell drawn as the rule says: with glyph forms, ー stands as a
// vertical stroke, the brackets turn, － and ： lie on their side; the
// characters a replacement entry made stand as they were chosen.
TEST_P(PainterGlyphFormTest, EachCellsInkIsShapedAsItsFormSays) {
  const FormCase& c = GetParam();
  SwapTable table;
  if (c.preset) AddPresetEntries(table, VerticalPresets().front());
  const VerticalLayout layout = LayoutOf(u"「\u3000ー\u3000」\u3000－\u3000：", table);
  const CellBox box = PictureCell(48);
  PictureStyle style{box.width, false};
  style.verticalGlyphs = c.glyphForms;
  const std::optional<GreyImage> image = ImageOf(layout, style);
  ASSERT_TRUE(image);
  for (std::size_t n = 0; n < c.shapes.size(); ++n) {
    const Box cell{box.width, box.height * static_cast<int>(2 * n + 1), box.width, box.height};
    EXPECT_EQ(ShapeOf(*image, cell), c.shapes[n]) << "character " << n;
  }
}

using enum InkShape;
INSTANTIATE_TEST_SUITE_P(
    Forms, PainterGlyphFormTest,
    testing::Values(
        FormCase{
            "AsTheyStand", false, false, {kOpenBottomRight, kWide, kOpenTopLeft, kWide, kTall}},
        FormCase{"Vertically", false, true, {kOpenBottomLeft, kTall, kOpenTopRight, kTall, kWide}},
        FormCase{
            "PresetVertically", true, true, {kOpenBottomLeft, kTall, kOpenTopRight, kTall, kWide}},
        FormCase{"PresetAsItStands",
                 true,
                 false,
                 {kOpenBottomLeft, kTall, kOpenTopRight, kTall, kTall}}),
    testing_support::CaseName());

}  // namespace
}  // namespace mirotabe
