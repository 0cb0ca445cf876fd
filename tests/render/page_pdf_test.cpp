#include "render/page_pdf.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QProcess>
#include <QRegularExpression>
#include <variant>

#include "tests/support/temp_folder.h"

namespace mirotabe {
namespace {

QString Tool(const QString& tool, const QStringList& arguments) {
  QProcess process;
  process.start(tool, arguments);
  EXPECT_TRUE(process.waitForFinished(60000) && process.exitCode() == 0) << tool.toStdString();
  return QString::fromUtf8(process.readAllStandardOutput());
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
    ASSERT_FALSE(WritePagedPdf(layout, style, setup, buffer));
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
    // The font is embedded, with a text map.
    EXPECT_TRUE(Tool(QStringLiteral("pdffonts"), {file}).contains(QStringLiteral("Identity-H")));
  }
}

}  // namespace
}  // namespace mirotabe
