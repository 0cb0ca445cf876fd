#include "render/page_pdf.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QPdfWriter>
#include <QProcess>
#include <QRegularExpression>
#include <variant>

#include "render/document_painting.h"
#include "render/layout_picture.h"
#include "tests/support/case_name.h"
#include "tests/support/temp_folder.h"

namespace mirotabe {
namespace {

QString Tool(const QString& tool, const QStringList& arguments) {
  QProcess process;
  process.start(tool, arguments);
  EXPECT_TRUE(process.waitForFinished(60000) && process.exitCode() == 0) << tool.toStdString();
  return QString::fromUtf8(process.readAllStandardOutput());
}

// The texts of the paragraphs of the structure tree of `file`, in its
// order, as Poppler reads them from the marked content their MCIDs name,
// blanks left out.
QStringList ParagraphsOf(const QString& file) {
  QStringList paragraphs;
  const QString tree = Tool(QStringLiteral("pdfinfo"), {QStringLiteral("-struct-text"), file});
  for (const QString& line : tree.split(QChar(u'\n'))) {
    if (line.trimmed() == QStringLiteral("P (block)")) {
      paragraphs.append(QString());
    } else if (line.trimmed().startsWith(QChar(u'"')) && !paragraphs.isEmpty()) {
      paragraphs.back() += line.trimmed().mid(1).chopped(1);
    }
  }
  for (QString& paragraph : paragraphs) {
    paragraph.remove(QRegularExpression(QStringLiteral("[\\s\\x{3000}]")));
    paragraph = paragraph.normalized(QString::NormalizationForm_KC);
  }
  return paragraphs;
}

// Pages of two columns of five: the text reads back in the order of the
// columns, right to left, page after page, vertical forms included. The
// last line holds characters that IPAGothic draws with a glyph another
// character shares (〜 ～, — ―, ‾ ￣, ¢ ￠, £ ￡, ¥ ￥, ¬ ￢); each reads
// back as itself.
TEST(PagedPdfTest, TheTextReadsBackInReadingOrderAcrossPages) {
  for (const bool vertical : {true, false}) {
    PageSetup setup{true, Paper::kA6};
    setup.columnLength = 5;
    setup.columns = 2;
    setup.pageNumbers = true;
    const PageGeometry geometry = PageGeometryOf(setup);
    const std::u16string text =
        u"ラーメン「です。」\r\nちょっと、待って\r\nはい\r\n～〜―—￠‾￡￥￣￢";
    const LayoutResult result = BuildVerticalLayout(
        text, {4, SwapTable(),
               PageLayoutSettings(LayoutSettings{0, Kinsoku::kHang, 0}, setup, geometry)});
    const auto& layout = std::get<VerticalLayout>(result);
    ASSERT_EQ(layout.ColumnCount(), 7u);

    QByteArray bytes;
    QBuffer buffer(&bytes);
    ASSERT_TRUE(buffer.open(QIODevice::WriteOnly));
    PictureStyle style;
    style.verticalGlyphs = vertical;
    ASSERT_TRUE(WritePagedPdf(layout, style, setup, buffer).ok());
    testing_support::TempFolder folder;
    const std::string path = folder.PathOf("pages.pdf");
    testing_support::WriteFile(path, std::string_view(bytes.constData(), bytes.size()));
    const QString file = QString::fromStdString(path);

    const QString info = Tool(QStringLiteral("pdfinfo"), {file});
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+4\\n"))));
    EXPECT_TRUE(info.contains(QStringLiteral("298 x 420 pts")));
    QString read =
        Tool(QStringLiteral("pdftotext"), {QStringLiteral("-raw"), file, QStringLiteral("-")});
    read.remove(QRegularExpression(QStringLiteral("[\\s\\x{3000}\\d]")));
    EXPECT_EQ(read, QStringLiteral("ラーメン「です。」ちょっと、待ってはい～〜―—￠‾￡￥￣￢"))
        << vertical;
    // Each line one paragraph of the tags, its columns on two pages too;
    // the page numbers are no part of them.
    QStringList lines = QString::fromStdU16String(text).split(QStringLiteral("\r\n"));
    for (QString& line : lines) line = line.normalized(QString::NormalizationForm_KC);
    EXPECT_EQ(ParagraphsOf(file), lines) << vertical;
    // The font is embedded, with a text map.
    EXPECT_TRUE(Tool(QStringLiteral("pdffonts"), {file}).contains(QStringLiteral("Identity-H")));
  }
}

struct TextLayerCase {
  const char* name;
  std::u16string text;
  bool pages;  // pages, or a picture's PDF
  // Laid out with ruby, the text reads back as this, without the marks
  // and the readings, which are drawn beside it but are no part of it.
  std::u16string withRuby = {};
  Paper paper = Paper::kA6;
};

// No installed font has it: it is drawn as the missing-glyph box.
constexpr char16_t kNoFontHas[] = u"𠮷";

class TextLayerTest : public testing::TestWithParam<TextLayerCase> {};

// Every character reads back, those beyond the first 65,536 (drawn from the
// pane's fonts or from the fonts Qt falls back on) included; the document
// says it is Japanese, and each font is an embedded subset with a text map.
TEST_P(TextLayerTest, EveryCharacterReadsBack) {
  const TextLayerCase& c = GetParam();
  const PageSetup setup{true, c.paper};
  // Pages set numbers and Latin as books do; a picture keeps them in cells.
  LayoutSettings settings =
      c.pages ? PageLayoutSettings({}, setup, PageGeometryOf(setup)) : LayoutSettings{};
  settings.ruby = !c.withRuby.empty();
  const LayoutResult result = BuildVerticalLayout(c.text, {4, SwapTable(), settings});
  const auto& layout = std::get<VerticalLayout>(result);
  QByteArray bytes;
  if (c.pages) {
    QBuffer buffer(&bytes);
    ASSERT_TRUE(buffer.open(QIODevice::WriteOnly));
    ASSERT_TRUE(WritePagedPdf(layout, {}, setup, buffer).ok());
  } else {
    const IoResult<QByteArray> pdf = DrawPicture(layout, {}, PictureFormat::Pdf);
    ASSERT_TRUE(pdf.ok());
    bytes = pdf.value();
  }
  EXPECT_TRUE(bytes.contains("/Lang (ja)"));
  testing_support::TempFolder folder;
  const std::string path = folder.PathOf("text.pdf");
  testing_support::WriteFile(path, std::string_view(bytes.constData(), bytes.size()));
  const QString file = QString::fromStdString(path);

  QProcess text;
  text.start(QStringLiteral("pdftotext"), {QStringLiteral("-raw"), file, QStringLiteral("-")});
  ASSERT_TRUE(text.waitForFinished(60000));
  // Poppler finds every object where the cross-reference table says.
  EXPECT_EQ(text.readAllStandardError(), QByteArray());
  QString read = QString::fromUtf8(text.readAllStandardOutput());
  read.remove(QRegularExpression(QStringLiteral("[\\s\\x{3000}]")));
  QString expected = QString::fromStdU16String(settings.ruby ? c.withRuby : c.text);
  expected.remove(QRegularExpression(QStringLiteral("[\\s\\x{3000}]")));
  // 原稿用紙 sets Latin full-width, a letter to a cell.
  EXPECT_EQ(read.normalized(QString::NormalizationForm_KC),
            expected.normalized(QString::NormalizationForm_KC));

  // Tagged: each line a paragraph of the structure tree, in order, its
  // parts found by their MCIDs. Poppler's structure text takes no
  // ActualText, so a character no font has is missing there.
  EXPECT_TRUE(Tool(QStringLiteral("pdfinfo"), {file})
                  .contains(QRegularExpression(QStringLiteral("Tagged:\\s+yes"))));
  QString lines = QString::fromStdU16String(settings.ruby ? c.withRuby : c.text);
  lines.remove(QString::fromStdU16String(kNoFontHas));
  lines.remove(QRegularExpression(QStringLiteral("[ \\x{3000}]")));
  EXPECT_EQ(ParagraphsOf(file),
            lines.normalized(QString::NormalizationForm_KC).split(QStringLiteral("\r\n")));
  QProcess check;
  check.start(QStringLiteral("qpdf"), {QStringLiteral("--check"), file});
  ASSERT_TRUE(check.waitForFinished(60000));
  EXPECT_EQ(check.exitCode(), 0) << check.readAllStandardOutput().toStdString();

  const QStringList fonts =
      Tool(QStringLiteral("pdffonts"), {file}).split(QChar(u'\n'), Qt::SkipEmptyParts).mid(2);
  EXPECT_FALSE(fonts.isEmpty());
  for (const QString& font : fonts) {
    EXPECT_TRUE(
        font.contains(QRegularExpression(QStringLiteral("^[A-Z]{6}\\+\\S+ .* yes yes yes "))))
        << font.toStdString();
  }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, TextLayerTest,
    testing::Values(TextLayerCase{"PagesBeyondTheFirstPlane", u"野家で😀を見た\r\n🂡と😊", true},
                    TextLayerCase{"PictureBeyondTheFirstPlane", u"😀を見た\r\n𝖠", false},
                    // Drawn as the missing-glyph box, it reads as itself.
                    TextLayerCase{"PagesOfACharacterNoFontHas", u"𠮷野家で😀を見た", true},
                    TextLayerCase{"PictureOfACharacterNoFontHas", u"雨の駅で\r\n𠮷を見た", false},
                    TextLayerCase{"ManuscriptPaperWithRubyNumbersAndLatin",
                                  u"雨の｜駅《えき》で𠮷を12回見た\r\nmirotabe reads 2023年", true,
                                  u"雨の駅で𠮷を12回見た\r\nmirotabe reads 2023年", Paper::kGenkou},
                    TextLayerCase{"PagesOfVerticalFormsAndSharedGlyphs",
                                  u"「ラーメン」です。\r\n～〜―—", true},
                    TextLayerCase{"PagesWithRuby",
                                  u"｜東京《とうきょう》の漢字《かんじ》\r\n吉野《よしの》家《ー》",
                                  true, u"東京の漢字\r\n吉野家"},
                    TextLayerCase{"PictureWithRuby", u"漢字《かんじ》を見た", false, u"漢字を見た"},
                    // 縦中横 of one to three digits and marks, and sideways Latin cut
                    // across columns, read as typed.
                    TextLayerCase{"PagesOfNumbersAndLatin",
                                  u"第3章は12月24日、500円!?\r\nmirotabe 1.5 reads "
                                  u"http://example.com/a/long/path/that/is/cut.html で2023年",
                                  true}),
    testing_support::CaseName());

// Memory that runs out while a document is painted is an error of its
// own, on the first page or a later one; the painter is ended on the way,
// rather than from its destructor while the failure unwinds.
TEST(PagedPdfTest, MemoryThatRunsOutWhilePaintingIsAnError) {
  for (const int failingPage : {0, 2}) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    const IoStatus painted = PaintDocument(writer, [&](QPainter& painter) {
      for (int page = 0;; ++page) {
        if (page != 0) writer.newPage();
        painter.drawText(10, 10, QStringLiteral("縦"));
        if (page == failingPage) throw std::bad_alloc();
      }
    });
    ASSERT_TRUE(painted.failed()) << failingPage;
    EXPECT_EQ(painted.error().code, std::make_error_code(std::errc::not_enough_memory));
    EXPECT_FALSE(writer.paintingActive());
  }
}

}  // namespace
}  // namespace mirotabe
