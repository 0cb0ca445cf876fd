#include "render/pdf_text_layer.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QRawFont>
#include <string>
#include <vector>

#include "render/pdf_tags.h"
#include "tests/support/case_name.h"

namespace mirotabe {
namespace {

// A PDF laid out as QPdfWriter writes one: a catalogue, a font named by
// IPAGothic's PostScript name whose text map Qt wrote for glyph 1 only
// (野), and its subset's descriptor.
QByteArray QtLikePdf() {
  const std::vector<QByteArray> objects = {
      "<<\n/Type /Catalog\n/Pages 3 0 R\n>>", "<<\n/Type /Pages\n/Kids []\n/Count 0\n>>",
      "<< /Type /Font\n/Subtype /Type0\n/BaseFont /IPAGothic\n/ToUnicode 5 0 R>>",
      QByteArray("<< /Length 66 >>\nstream\n1 beginbfrange\n<0000> <0001> [<0000> <91CE> ]\n") +
          "endbfrange\n\nendstream",
      "<< /Type /FontDescriptor\n/FontName /QABAAA+IPAGothic\n>>"};
  QByteArray pdf("%PDF-1.4\n");
  std::vector<qsizetype> offsets;
  for (std::size_t n = 0; n < objects.size(); ++n) {
    offsets.push_back(pdf.size());
    pdf +=
        QByteArray::number(static_cast<qulonglong>(n) + 2) + " 0 obj\n" + objects[n] + "\nendobj\n";
  }
  const qsizetype xref = pdf.size();
  pdf += "xref\n0 7\n0000000000 65535 f \n0000000000 00000 f \n";
  for (const qsizetype offset : offsets) {
    pdf += QByteArray::number(offset).rightJustified(10, '0') + " 00000 n \n";
  }
  pdf +=
      "trailer\n<<\n/Size 7\n/Root 2 0 R\n>>\nstartxref\n" + QByteArray::number(xref) + "\n%%EOF\n";
  return pdf;
}

// Every object stands where the cross-reference table says.
bool OffsetsHold(const QByteArray& pdf) {
  const qsizetype xref = pdf.lastIndexOf("\nxref\n") + 1;
  const QList<QByteArray> lines = pdf.mid(xref).split('\n');
  const int count = lines[1].split(' ')[1].toInt();
  if (lines.size() < count + 2) return false;
  for (int n = 1; n < count; ++n) {
    const QByteArray& entry = lines[n + 2];
    if (!entry.endsWith("n ")) continue;
    if (!pdf.mid(entry.left(10).toLongLong()).startsWith(QByteArray::number(n) + " 0 obj")) {
      return false;
    }
  }
  return pdf.contains("startxref\n" + QByteArray::number(xref) + "\n");
}

struct LayerCase {
  const char* name;
  // The texts of glyphs 1, 2, … as drawn.
  std::vector<std::u16string> drawn;
  bool damaged;  // the cross-reference table cut short
  // In the text map afterwards, and not.
  std::vector<QByteArray> mapped;
  std::vector<QByteArray> unmapped;
};

class CompleteTextLayerTest : public testing::TestWithParam<LayerCase> {};

TEST_P(CompleteTextLayerTest, AddsWhatQtLeftOutOnlyWhereTheLogAgrees) {
  const LayerCase& c = GetParam();
  const QRawFont font(QStringLiteral("/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf"), 12);
  ASSERT_TRUE(font.isValid());
  GlyphTextLog log;
  GlyphTextLog::Font& logged = log.FontOf(font);
  for (std::size_t k = 0; k < c.drawn.size(); ++k) {
    logged.Record(static_cast<std::uint32_t>(100 + k), c.drawn[k]);
  }
  QByteArray pdf = QtLikePdf();
  if (c.damaged) pdf.chop(60);
  const QByteArray done = CompleteTextLayer(pdf, log);
  if (c.damaged) {
    EXPECT_EQ(done, pdf);
    return;
  }
  EXPECT_TRUE(OffsetsHold(done));
  EXPECT_TRUE(done.contains("<<\n/Lang (ja)\n/Type /Catalog"));
  EXPECT_TRUE(done.contains("/BaseFont /QABAAA+IPAGothic"));
  for (const QByteArray& entry : c.mapped) EXPECT_TRUE(done.contains(entry)) << entry.data();
  for (const QByteArray& entry : c.unmapped) EXPECT_FALSE(done.contains(entry)) << entry.data();
}

INSTANTIATE_TEST_SUITE_P(
    Logs, CompleteTextLayerTest,
    testing::Values(
        LayerCase{"BeyondTheFirstPlaneIsAdded",
                  {u"野", u"😀", u"𠮷"},
                  false,
                  {"<0001> <91CE>", "<0002> <D83DDE00>", "<0003> <D842DFB7>"},
                  {}},
        LayerCase{"AGlyphOfNoTextOfItsOwnKeepsQtsEntry",
                  {u"", u"😀"},
                  false,
                  {"<0001> <91CE>", "<0002> <D83DDE00>"},
                  {}},
        LayerCase{"ANumberingThatDisagreesLeavesQtsMap", {u"家", u"😀"}, false, {}, {"D83DDE00"}},
        LayerCase{"ADamagedFileIsLeftAsItIs", {u"野", u"😀"}, true, {}, {}}),
    testing_support::CaseName());

// What a page's drawing does, in order: a mark drawn into the page, a
// mark recorded but drawn elsewhere, text, or a quarter turn of the
// painter for what follows.
enum class Step : std::uint8_t { kBegin, kEnd, kBeginElsewhere, kText, kTurn };

struct TagCase {
  const char* name;
  std::vector<Step> steps;
  bool damaged;  // the cross-reference table cut short
  bool tagged;
};

class TagContentTest : public testing::TestWithParam<TagCase> {};

// Tags are added only where every mark recorded is found in the pages,
// one for one and nested; otherwise the file stays as it is.
TEST_P(TagContentTest, TagsOnlyWhereEveryMarkIsFound) {
  const TagCase& c = GetParam();
  QByteArray pdf;
  QBuffer buffer(&pdf);
  ASSERT_TRUE(buffer.open(QIODevice::WriteOnly));
  ContentMarks marks;
  {
    QPdfWriter writer(&buffer);
    QPainter painter(&writer);
    QImage elsewhere(8, 8, QImage::Format_RGB32);
    QPainter other(&elsewhere);
    for (const Step step : c.steps) {
      switch (step) {
        case Step::kBegin:
          marks.Begin(painter, ContentMarks::Kind::kParagraph);
          break;
        case Step::kEnd:
          marks.End(painter);
          break;
        case Step::kBeginElsewhere:
          marks.Begin(other, ContentMarks::Kind::kParagraph);
          break;
        case Step::kText:
          painter.drawText(QPointF(100, 100), QStringLiteral("雨の駅"));
          break;
        case Step::kTurn:
          painter.rotate(90);
          break;
      }
    }
  }
  if (c.damaged) pdf.chop(60);
  const QByteArray done = TagContent(pdf, marks);
  if (!c.tagged) {
    EXPECT_EQ(done, pdf);
    return;
  }
  EXPECT_TRUE(OffsetsHold(done));
  EXPECT_TRUE(done.contains("/MarkInfo << /Marked true >>"));
  EXPECT_TRUE(done.contains("/StructParents 0"));
  EXPECT_TRUE(done.contains("/S /P /P"));
}

INSTANTIATE_TEST_SUITE_P(
    Marks, TagContentTest,
    testing::Values(
        TagCase{"MarksFoundOneForOneAreTagged",
                {Step::kBegin, Step::kText, Step::kEnd, Step::kBegin, Step::kEnd},
                false,
                true},
        TagCase{"MarksOfATurnedPainterAreFound",
                {Step::kTurn, Step::kBegin, Step::kText, Step::kEnd},
                false,
                true},
        TagCase{"AMarkMissingFromThePageLeavesTheFile",
                {Step::kBegin, Step::kText, Step::kEnd, Step::kBeginElsewhere},
                false,
                false},
        TagCase{"AnUnendedMarkLeavesTheFile", {Step::kBegin, Step::kText}, false, false},
        TagCase{"AnEndBeforeItsBeginLeavesTheFile",
                {Step::kEnd, Step::kText, Step::kBegin},
                false,
                false},
        TagCase{"NoMarksLeaveTheFile", {Step::kText}, false, false},
        TagCase{"ADamagedFileIsLeftAsItIs", {Step::kBegin, Step::kText, Step::kEnd}, true, false}),
    testing_support::CaseName());

}  // namespace
}  // namespace mirotabe
