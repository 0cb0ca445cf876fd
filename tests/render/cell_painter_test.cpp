#include "render/cell_painter.h"

#include <gtest/gtest.h>

#include <QFont>
#include <QFontDatabase>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRawFont>
#include <QtEndian>
#include <functional>
#include <string>
#include <utility>

#include "render/unshared_glyphs.h"

namespace mirotabe {
namespace {

QFont IpaGothic() {
  QFont font(QStringLiteral("IPAGothic"));
  font.setPixelSize(32);
  return font;
}

// The orientation a cell of `text` takes with glyph forms on, in a cell
// no entry made.
CellOrientation Vertically(std::u16string_view text) {
  return OrientationOfCell(text, true, false);
}

// The glyphs installed by scripts/install-deps.sh: IPAGothic has vertical
// forms for the long vowel mark, the brackets and the full stop; the
// characters set on their side are turned whatever it has, and ：； (which
// it has no form for) are turned as their class says.
TEST(CellPainterTest, EachCellIsSetInTheFormTheRuleGivesWithTheFontsAnswer) {
  CellPainter cells(IpaGothic(), {32, 34});
  ASSERT_EQ(cells.FaceOf(cells.GlyphsOf(u"あ", Vertically(u"あ"))).familyName(),
            QStringLiteral("IPAGothic"));
  struct Case {
    std::u16string cell;
    GlyphForm form;
  };
  for (const Case& c : {Case{u"ー", GlyphForm::kVertical}, Case{u"「", GlyphForm::kVertical},
                        Case{u"」", GlyphForm::kVertical}, Case{u"。", GlyphForm::kVertical},
                        Case{u"、", GlyphForm::kVertical}, Case{u"ぁ", GlyphForm::kVertical},
                        Case{u"～", GlyphForm::kVertical}, Case{u"あ", GlyphForm::kUpright},
                        Case{u"国", GlyphForm::kUpright}, Case{u"Ａ", GlyphForm::kUpright},
                        Case{u"：", GlyphForm::kTurned}, Case{u"；", GlyphForm::kTurned},
                        Case{u"－", GlyphForm::kTurned}, Case{u"“", GlyphForm::kTurned},
                        Case{u"”", GlyphForm::kTurned}, Case{u"…", GlyphForm::kTurned}}) {
    SCOPED_TRACE(std::string(QString::fromStdU16String(c.cell).toUtf8()));
    const CellGlyphs& across = cells.GlyphsOf(c.cell, CellOrientation::kAsItStands);
    const CellGlyphs& down = cells.GlyphsOf(c.cell, Vertically(c.cell));
    ASSERT_EQ(across.indexes.size(), 1);
    ASSERT_EQ(down.indexes.size(), 1);
    EXPECT_EQ(across.form, GlyphForm::kUpright);
    EXPECT_EQ(down.form, c.form);
    // Only a vertical form is another glyph; a turned one is the glyph
    // itself, turned as it is drawn.
    EXPECT_EQ(down.indexes.front() != across.indexes.front(), c.form == GlyphForm::kVertical);
    // Both stand in the middle of the cell, on the same baseline.
    EXPECT_EQ(down.offsets, across.offsets);
  }
}

// IPAGothic draws each of these pairs with one glyph. The copy of the font
// that a PDF is drawn with gives the second one a glyph of its own, with
// the same outline and advance, as it stands and in the form the rule
// gives it.
TEST(CellPainterTest, ADocumentDrawsEachCharacterWithAGlyphOfItsOwn) {
  for (const bool glyphForms : {false, true}) {
    CellPainter screen(IpaGothic(), {32, 34});
    CellPainter document(IpaGothic(), {32, 34}, CellTarget::kDocument);
    const auto orientation = [&](std::u16string_view text) {
      return OrientationOfCell(text, glyphForms, false);
    };
    ASSERT_EQ(document.FaceOf(document.GlyphsOf(u"あ", orientation(u"あ"))).familyName(),
              glyphForms ? QStringLiteral("Mirotabe Vertical IPAGothic")
                         : QStringLiteral("Mirotabe Text IPAGothic"));
    for (const auto& [first, second] :
         {std::pair{u"〜", u"～"}, std::pair{u"—", u"―"}, std::pair{u"‾", u"￣"},
          std::pair{u"¢", u"￠"}, std::pair{u"£", u"￡"}, std::pair{u"¥", u"￥"},
          std::pair{u"¬", u"￢"}, std::pair{u"·", u"･"}, std::pair{u" ", u"\u00A0"}}) {
      SCOPED_TRACE(QString::fromUtf16(second).toStdString() + (glyphForms ? " vertical" : ""));
      // As they stand they share a glyph; set vertically, ‾ (turned) and
      // ￣ (in its vertical form) do not.
      if (!glyphForms) {
        EXPECT_EQ(screen.GlyphsOf(first, orientation(first)).indexes,
                  screen.GlyphsOf(second, orientation(second)).indexes);
      }
      const CellGlyphs& own = document.GlyphsOf(second, orientation(second));
      EXPECT_NE(own.indexes, document.GlyphsOf(first, orientation(first)).indexes);
      const CellGlyphs& shared = screen.GlyphsOf(second, orientation(second));
      ASSERT_EQ(own.indexes.size(), 1);
      EXPECT_EQ(own.form, shared.form);
      EXPECT_EQ(document.FaceOf(own).pathForGlyph(own.indexes.front()),
                screen.FaceOf(shared).pathForGlyph(shared.indexes.front()));
      EXPECT_EQ(own.offsets, shared.offsets);
    }
  }
}

// Tables that do not hold together are left as they are, and so is the
// character map, rather than read past their ends or half rewritten.
TEST(CellPainterTest, GlyphsAreUnsharedOnlyInTablesThatHoldTogether) {
  const QRawFont raw = QRawFont::fromFont(IpaGothic(), QFontDatabase::Japanese);
  FontTables font;
  for (const char* tag : {"head", "maxp", "loca", "glyf", "hhea", "hmtx"}) {
    font.emplace(tag, raw.fontTable(tag));
  }
  const std::uint32_t glyphCount = qFromBigEndian<quint16>(font.at("maxp").constData() + 4);
  const std::uint32_t wave = raw.glyphIndexesForString(QStringLiteral("〜")).front();
  const CharacterMap shared{{U'〜', wave}, {U'～', wave}};
  const auto set16 = [](QByteArray& table, qsizetype at, quint16 value) {
    qToBigEndian(value, table.data() + at);
  };
  struct Case {
    const char* name;
    std::function<void(FontTables&)> spoil;
  };
  for (const Case& c : {
           Case{"no glyf (CFF outlines)", [](FontTables& t) { t.erase("glyf"); }},
           Case{"short head", [](FontTables& t) { t["head"].truncate(40); }},
           Case{"short loca", [](FontTables& t) { t["loca"].truncate(t["loca"].size() / 2); }},
           Case{"loca past glyf", [](FontTables& t) { t["glyf"].truncate(t["glyf"].size() / 2); }},
           Case{"short hmtx", [](FontTables& t) { t["hmtx"].truncate(8); }},
           Case{"no long metrics", [&](FontTables& t) { set16(t["hhea"], 34, 0); }},
           Case{"too many glyphs", [&](FontTables& t) { set16(t["maxp"], 4, 0xFFFF); }},
       }) {
    SCOPED_TRACE(c.name);
    FontTables tables = font;
    c.spoil(tables);
    const FontTables spoilt = tables;
    CharacterMap map = shared;
    EXPECT_FALSE(UnshareGlyphs(tables, map));
    EXPECT_EQ(tables, spoilt);
    EXPECT_EQ(map, shared);
  }
  FontTables tables = font;
  CharacterMap map = shared;
  ASSERT_TRUE(UnshareGlyphs(tables, map));
  EXPECT_EQ(map, (CharacterMap{{U'〜', wave}, {U'～', glyphCount}}));
  EXPECT_EQ(qFromBigEndian<quint16>(tables.at("maxp").constData() + 4), glyphCount + 1);
}

TEST(CellPainterTest, ACharacterTheFontLacksComesFromTheNextFontOrQt) {
  CellPainter cells(IpaGothic(), {32, 34});
  // U+0E01 (Thai) is in none of the pane's fonts here; U+FFFF in none at all.
  const CellGlyphs& thai = cells.GlyphsOf(u"\u0E01", Vertically(u"\u0E01"));
  if (thai.face != CellGlyphs::kQtFallback) {
    EXPECT_NE(cells.FaceOf(thai).familyName(), QStringLiteral("IPAGothic"));
  }
  EXPECT_EQ(cells.GlyphsOf(u"\uFFFF", Vertically(u"\uFFFF")).face, CellGlyphs::kQtFallback);
  // Whatever the font, the cell is drawn without a crash, and a blank not at all.
  QImage image(64, 34, QImage::Format_Grayscale8);
  image.fill(Qt::white);
  QPainter painter(&image);
  cells.Place(painter, u"\u3000", Vertically(u"\u3000"), QPointF(0, 0));
  cells.Flush(painter);
  EXPECT_EQ(image.pixelColor(16, 17), QColor(Qt::white));
  cells.Place(painter, u"\u0E01", Vertically(u"\u0E01"), QPointF(0, 0));
  cells.Place(painter, u"国", Vertically(u"国"), QPointF(32, 0));
  cells.Flush(painter);
}

}  // namespace
}  // namespace mirotabe
