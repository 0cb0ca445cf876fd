#include "render/layout_picture.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QRegularExpression>
#include <QStringList>
#include <optional>
#include <ostream>
#include <string>
#include <variant>
#include <vector>

#include "core/vertical_presets.h"
#include "tests/support/case_name.h"
#include "tests/support/program_lines.h"
#include "tests/support/temp_folder.h"

namespace mirotabe {
namespace {

using enum SwapKind;

using testing_support::TempFolder;
using testing_support::WriteFile;

VerticalLayout LayoutOf(std::u16string_view text, const SwapTable& table = {}) {
  return std::get<VerticalLayout>(BuildVerticalLayout(text, {4, table, {}}));
}

using testing_support::Lines;

struct SizeCase {
  const char* name;
  std::u16string text;
  PictureStyle style;
  int width;
  int height;
};

class ImageSizeTest : public testing::TestWithParam<SizeCase> {};

// The image is the cells, the spaces between the columns and a margin of
// one cell all round.
TEST_P(ImageSizeTest, IsTheCellsAndTheMargin) {
  const SizeCase& c = GetParam();
  const VerticalLayout layout = LayoutOf(c.text);
  const PictureSize size = ImageSize(layout, c.style);
  EXPECT_EQ(size.width, c.width);
  EXPECT_EQ(size.height, c.height);
  const QImage image = DrawImage(layout, c.style);
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.width(), c.width);
  EXPECT_EQ(image.height(), c.height);
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, ImageSizeTest,
    testing::Values(
        SizeCase{"Empty", u"", {}, 48, 48}, SizeCase{"OneCell", u"あ", {}, 72, 72},
        SizeCase{"TwoColumnsThreeRows", u"あいう\r\nかき", {}, 108, 120},
        SizeCase{"WidestSpacing", u"あいう\r\nかき", {24, false, true, std::nullopt, 1}, 120, 120},
        SizeCase{"SmallestCells", u"あいう\r\nかき", {kMinCellSize, false}, 36, 40},
        SizeCase{"LargestCellsWithGrid", u"あいう\r\nかき", {kMaxCellSize, true}, 1152, 1280},
        SizeCase{"GridKeepsTheSize", u"ab\r\n\r\nc", {30, true}, 180, 120},
        SizeCase{"TabsWidenTheColumn", u"a\tb", {}, 72, 192},
        SizeCase{"WidestAllowed", Lines(909, u"あ"), {}, 32760, 72},
        SizeCase{"TallestAllowed", std::u16string(1363, u'あ'), {}, 72, 32760}),
    testing_support::CaseName());

TEST(ImageLimitTest, APngWiderOrTallerThanAllowedIsRefused) {
  for (const VerticalLayout& layout :
       {LayoutOf(Lines(910, u"あ")), LayoutOf(std::u16string(1364, u'あ'))}) {
    EXPECT_FALSE(FitsImage(ImageSize(layout, {})));
    EXPECT_TRUE(DrawImage(layout, {}).isNull());
    const IoResult<QByteArray> png = DrawPicture(layout, {}, PictureFormat::Png);
    ASSERT_FALSE(png.ok());
    EXPECT_EQ(png.error().code, std::make_error_code(std::errc::file_too_large));
  }
}

TEST(DrawPictureTest, APngDecodesToTheImage) {
  const VerticalLayout layout = LayoutOf(u"縦書き\r\nです");
  const IoResult<QByteArray> png = DrawPicture(layout, {32, true}, PictureFormat::Png);
  ASSERT_TRUE(png.ok());
  const QImage decoded = QImage::fromData(png.value(), "PNG");
  ASSERT_FALSE(decoded.isNull());
  EXPECT_EQ(decoded.convertToFormat(QImage::Format_Grayscale8), DrawImage(layout, {32, true}));
}

// The ink of a region: the count of pixels darker than mid-grey, and their
// bounding box.
struct Ink {
  int pixels = 0;
  QRect box;
};

Ink InkIn(const QImage& image, const QRect& region) {
  Ink ink;
  for (int y = region.top(); y <= region.bottom(); ++y) {
    for (int x = region.left(); x <= region.right(); ++x) {
      if (qGray(image.pixel(x, y)) < 0x80) {
        ++ink.pixels;
        ink.box |= QRect(x, y, 1, 1);
      }
    }
  }
  return ink;
}

TEST(DrawImageTest, EachCellsTextIsCentredInItsCellAndNothingElseIsInked) {
  // Two columns: "国" above a blank on the right, "ab" (one cell after a
  // replacement) above "一" on the left; the second row's right cell is
  // the blank padding.
  SwapTable table;
  table.Append(SwapEntry{u"ｘ", u"ab", kCell});
  const VerticalLayout layout = LayoutOf(u"国\r\nｘ一", table);
  const CellBox box = PictureCell(48);
  const QImage image = DrawImage(layout, {box.width, false});
  ASSERT_EQ(image.size(), QSize(4 * box.width + box.columnSpace, 4 * box.height));

  struct Expected {
    int column;  // 0 = leftmost
    int row;
    bool inked;
  };
  for (const Expected e :
       {Expected{1, 0, true}, Expected{1, 1, false}, Expected{0, 0, true}, Expected{0, 1, true}}) {
    const QRect cellRect(box.width + e.column * (box.width + box.columnSpace),
                         (e.row + 1) * box.height, box.width, box.height);
    const Ink ink = InkIn(image, cellRect);
    SCOPED_TRACE(testing::Message() << "column " << e.column << " row " << e.row);
    if (!e.inked) {
      EXPECT_EQ(ink.pixels, 0);
      continue;
    }
    ASSERT_GT(ink.pixels, 0);
    // The ink's horizontal middle is the cell's; the glyph's own design
    // decides its vertical place, which stays inside the cell.
    EXPECT_NEAR(ink.box.center().x(), cellRect.center().x(), 2);
    EXPECT_TRUE(cellRect.contains(ink.box));
  }
  // The margin all round stays white.
  const Ink all = InkIn(image, image.rect());
  EXPECT_TRUE(QRect(box.width, box.height, 2 * box.width + box.columnSpace, 2 * box.height)
                  .contains(all.box));
}

TEST(DrawImageTest, TheGridFramesEveryCellAndOnlyWhenAsked) {
  const CellBox box = PictureCell(20);
  const int w = box.width;
  const int h = box.height;
  const int s = box.columnSpace;
  const VerticalLayout layout = LayoutOf(u"\u3000\u3000\r\n\u3000");  // 2 × 2 cells, no ink
  const QImage withGrid = DrawImage(layout, {w, true});
  const QImage without = DrawImage(layout, {w, false});
  ASSERT_EQ(withGrid.size(), QSize(4 * w + s, 4 * h));

  const auto grey = [](const QImage& image, QPoint p) { return qGray(image.pixel(p)); };
  for (int column = 0; column < 2; ++column) {
    const int left = w + column * (w + s);
    for (int n = 0; n <= 2; ++n) {
      for (const QPoint line : {QPoint(left + w / 2, h + n * h),                       // across
                                QPoint(left + (n % 2) * w, h + n * h / 2 + h / 2)}) {  // down
        SCOPED_TRACE(testing::Message()
                     << "column " << column << " at " << line.x() << "," << line.y());
        EXPECT_LT(grey(withGrid, line), 0xFF);
        EXPECT_EQ(grey(without, line), 0xFF);
      }
    }
  }
  // Inside the cells, between the columns and in the margin: white.
  for (const QPoint p :
       {QPoint(w + w / 2, h + h / 2), QPoint(w / 2, h / 2), QPoint(2 * w + s / 2, h),
        QPoint(2 * w + s / 2, 2 * h), QPoint(4 * w + s - w / 2, 4 * h - 2), QPoint(w / 2, 2 * h)}) {
    EXPECT_EQ(grey(withGrid, p), 0xFF) << p.x() << "," << p.y();
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

std::optional<InkShape> ShapeOf(const QImage& image, const QRect& cell) {
  const Ink ink = InkIn(image, cell);
  if (ink.pixels == 0) return std::nullopt;
  const QRect& box = ink.box;
  const QPoint middle = box.center();
  struct Quarter {
    QRect rect;
    InkShape open;
  };
  const Quarter quarters[] = {
      {QRect(QPoint(middle.x() + 1, middle.y() + 1), box.bottomRight()),
       InkShape::kOpenBottomRight},
      {QRect(QPoint(box.left(), middle.y() + 1), QPoint(middle.x() - 1, box.bottom())),
       InkShape::kOpenBottomLeft},
      {QRect(QPoint(middle.x() + 1, box.top()), QPoint(box.right(), middle.y() - 1)),
       InkShape::kOpenTopRight},
      {QRect(box.topLeft(), QPoint(middle.x() - 1, middle.y() - 1)), InkShape::kOpenTopLeft}};
  std::vector<InkShape> open;
  for (const Quarter& q : quarters) {
    if (InkIn(image, q.rect).pixels * 50 < ink.pixels) open.push_back(q.open);
  }
  if (open.size() == 1) return open.front();
  if (box.height() > 2 * box.width()) return InkShape::kTall;
  if (box.width() > 2 * box.height()) return InkShape::kWide;
  return std::nullopt;
}

struct FormCase {
  const char* name;
  bool preset;  // the Shift_JIS preset's entries: ー→｜, 「→┐, 」→└
  bool glyphForms;
  // The shapes of 「, ー, 」, －, ： in turn.
  std::vector<InkShape> shapes;
};

class GlyphFormPictureTest : public testing::TestWithParam<FormCase> {};

// Each cell drawn as the rule says: with glyph forms, ー stands as a
// vertical stroke, the brackets turn, － and ： lie on their side; the
// characters a replacement entry made stand as they were chosen, with
// glyph forms or without.
TEST_P(GlyphFormPictureTest, EachCellsInkIsShapedAsItsFormSays) {
  const FormCase& c = GetParam();
  SwapTable table;
  if (c.preset) AddPresetEntries(table, VerticalPresets().front());
  // A blank between them: the box-drawing strokes of the preset reach the
  // square's edges to join, and would reach into a neighbour's square.
  const VerticalLayout layout = LayoutOf(u"「\u3000ー\u3000」\u3000－\u3000：", table);
  const CellBox box = PictureCell(48);
  PictureStyle style{box.width, false};
  style.verticalGlyphs = c.glyphForms;
  const QImage image = DrawImage(layout, style);
  ASSERT_EQ(layout.RowCount(), 2 * c.shapes.size() - 1);
  for (std::size_t n = 0; n < c.shapes.size(); ++n) {
    const QRect cell(box.width, box.height * static_cast<int>(2 * n + 1), box.width, box.height);
    EXPECT_EQ(ShapeOf(image, cell), c.shapes[n]) << "character " << n;
  }
}

using enum InkShape;
INSTANTIATE_TEST_SUITE_P(
    Forms, GlyphFormPictureTest,
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

struct SheetCase {
  const char* name;
  std::size_t columns;
  std::size_t rows;
  int cellSize;
  // Each sheet as {first row, rows, first column, columns}, in page order.
  std::vector<Sheet> sheets;
};

class PdfSheetsTest : public testing::TestWithParam<SheetCase> {};

// A sheet is at most 14,400 points a side, margins included: 399 columns
// of 24 half a cell apart and 598 rows of 24, 36 columns of 256.
TEST_P(PdfSheetsTest, CutTheLayoutIntoPagesFromTheRight) {
  const SheetCase& c = GetParam();
  const VerticalLayout layout = LayoutOf(Lines(c.columns, std::u16string(c.rows, u'あ')));
  const std::vector<Sheet> sheets = PdfSheets(layout, {c.cellSize, false});
  ASSERT_EQ(sheets.size(), c.sheets.size());
  for (std::size_t n = 0; n < sheets.size(); ++n) {
    SCOPED_TRACE(n);
    EXPECT_EQ(sheets[n].firstRow, c.sheets[n].firstRow);
    EXPECT_EQ(sheets[n].rows, c.sheets[n].rows);
    EXPECT_EQ(sheets[n].firstColumn, c.sheets[n].firstColumn);
    EXPECT_EQ(sheets[n].columns, c.sheets[n].columns);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, PdfSheetsTest,
    testing::Values(SheetCase{"Empty", 0, 0, 24, {{0, 0, 0, 0}}},
                    SheetCase{"OneCell", 1, 1, 24, {{0, 1, 0, 1}}},
                    SheetCase{"FullSheet", 399, 598, 24, {{0, 598, 0, 399}}},
                    SheetCase{"OneColumnMore", 400, 3, 24, {{0, 3, 1, 399}, {0, 3, 0, 1}}},
                    SheetCase{"OneRowMore", 2, 599, 24, {{0, 598, 0, 2}, {598, 1, 0, 2}}},
                    SheetCase{"BothMore",
                              401,
                              600,
                              24,
                              {{0, 598, 2, 399}, {598, 2, 2, 399}, {0, 598, 0, 2}, {598, 2, 0, 2}}},
                    SheetCase{"LargeCells", 37, 1, 256, {{0, 1, 1, 36}, {0, 1, 0, 1}}}),
    testing_support::CaseName());

// Runs a poppler tool on `file`; its standard output.
QString Poppler(const QString& tool, const QStringList& arguments) {
  QProcess process;
  process.start(tool, arguments);
  if (!process.waitForFinished(60000) || process.exitCode() != 0) {
    ADD_FAILURE() << tool.toStdString()
                  << " failed: " << process.readAllStandardError().toStdString();
    return {};
  }
  return QString::fromUtf8(process.readAllStandardOutput());
}

TEST(DrawPictureTest, APdfHasOnePagePerSheetAndItsCharactersAsText) {
  // 600 columns of "国語" at 24 points a cell: two sheets, the first with
  // the 399 rightmost columns, that is the first 399 lines.
  TempFolder folder;
  const VerticalLayout layout = LayoutOf(Lines(599, u"国語") + u"\r\n終");
  const IoResult<QByteArray> pdf = DrawPicture(layout, {24, true}, PictureFormat::Pdf);
  ASSERT_TRUE(pdf.ok());
  const std::string path = folder.PathOf("out.pdf");
  WriteFile(path, std::string_view(pdf.value().constData(), pdf.value().size()));
  const QString file = QString::fromStdString(path);

  const QString info = Poppler("pdfinfo", {file});
  EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+2\\n"))))
      << info.toStdString();

  struct Page {
    int number;
    int kokugo;  // how many "国" and "語" the page holds
    bool last;   // whether it holds "終"
  };
  for (const Page page : {Page{1, 399, false}, Page{2, 200, true}}) {
    const QString n = QString::number(page.number);
    const QString text = Poppler("pdftotext", {"-f", n, "-l", n, file, "-"});
    SCOPED_TRACE(page.number);
    EXPECT_EQ(text.count(QChar(u'国')), page.kokugo);
    EXPECT_EQ(text.count(QChar(u'語')), page.kokugo);
    EXPECT_EQ(text.contains(QChar(u'終')), page.last);
  }
}

}  // namespace
}  // namespace mirotabe
