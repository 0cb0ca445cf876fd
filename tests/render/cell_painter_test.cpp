#include "render/cell_painter.h"

#include <gtest/gtest.h>

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <string>
#include <utility>

namespace mirotabe {
namespace {

QFont IpaGothic() {
  QFont font(QStringLiteral("IPAGothic"));
  font.setPixelSize(32);
  return font;
}

// The glyphs installed by scripts/install-deps.sh: IPAGothic has vertical
// forms for the long vowel mark, the brackets and the full stop.
TEST(CellPainterTest, VerticalFormsReplaceTheGlyphsThatHaveThemAndOnlyThose) {
  CellPainter upright(IpaGothic(), {32, 34}, false);
  CellPainter vertical(IpaGothic(), {32, 34}, true);
  ASSERT_EQ(upright.FontOf(upright.GlyphsOf(u"あ")).familyName(), QStringLiteral("IPAGothic"));
  ASSERT_EQ(vertical.FontOf(vertical.GlyphsOf(u"あ")).familyName(), QStringLiteral("IPAGothic"));
  struct Case {
    std::u16string cell;
    bool turned;
  };
  for (const Case& c : {Case{u"ー", true}, Case{u"「", true}, Case{u"」", true}, Case{u"。", true},
                        Case{u"、", true}, Case{u"ぁ", true}, Case{u"あ", false},
                        Case{u"国", false}, Case{u"Ａ", false}}) {
    SCOPED_TRACE(std::string(QString::fromStdU16String(c.cell).toUtf8()));
    const CellGlyphs& across = upright.GlyphsOf(c.cell);
    const CellGlyphs& down = vertical.GlyphsOf(c.cell);
    ASSERT_EQ(across.indexes.size(), 1);
    ASSERT_EQ(down.indexes.size(), 1);
    EXPECT_EQ(down.indexes.front() != across.indexes.front(), c.turned);
    // Both stand in the middle of the cell, on the same baseline.
    EXPECT_EQ(down.offsets, across.offsets);
  }
}

// IPAGothic draws each of these pairs with one glyph. The copy of the font
// that a PDF is drawn with gives the second one a glyph of its own, with
// the same outline and advance, upright and vertically.
TEST(CellPainterTest, ADocumentDrawsEachCharacterWithAGlyphOfItsOwn) {
  for (const bool verticalForms : {false, true}) {
    CellPainter screen(IpaGothic(), {32, 34}, verticalForms);
    CellPainter document(IpaGothic(), {32, 34}, verticalForms, CellTarget::kDocument);
    ASSERT_EQ(document.FontOf(document.GlyphsOf(u"あ")).familyName(),
              verticalForms ? QStringLiteral("Mirotabe Vertical IPAGothic")
                            : QStringLiteral("Mirotabe Text IPAGothic"));
    for (const auto& [first, second] :
         {std::pair{u"〜", u"～"}, std::pair{u"—", u"―"}, std::pair{u"‾", u"￣"},
          std::pair{u"¢", u"￠"}, std::pair{u"£", u"￡"}, std::pair{u"¥", u"￥"},
          std::pair{u"¬", u"￢"}, std::pair{u"·", u"･"}, std::pair{u"\u00A0", u" "}}) {
      SCOPED_TRACE(QString::fromUtf16(second).toStdString() + (verticalForms ? " vertical" : ""));
      EXPECT_EQ(screen.GlyphsOf(first).indexes, screen.GlyphsOf(second).indexes);
      const CellGlyphs& own = document.GlyphsOf(second);
      EXPECT_NE(own.indexes, document.GlyphsOf(first).indexes);
      const CellGlyphs& shared = screen.GlyphsOf(second);
      ASSERT_EQ(own.indexes.size(), 1);
      EXPECT_EQ(document.FontOf(own).pathForGlyph(own.indexes.front()),
                screen.FontOf(shared).pathForGlyph(shared.indexes.front()));
      EXPECT_EQ(own.offsets, shared.offsets);
    }
  }
}

TEST(CellPainterTest, ACharacterTheFontLacksComesFromTheNextFontOrQt) {
  CellPainter cells(IpaGothic(), {32, 34}, true);
  // U+0E01 (Thai) is in none of the pane's fonts here; U+FFFF in none at all.
  const CellGlyphs& thai = cells.GlyphsOf(u"\u0E01");
  if (thai.font != CellGlyphs::kQtFallback) {
    EXPECT_NE(cells.FontOf(thai).familyName(), QStringLiteral("IPAGothic"));
  }
  EXPECT_EQ(cells.GlyphsOf(u"\uFFFF").font, CellGlyphs::kQtFallback);
  // Whatever the font, the cell is drawn without a crash, and a blank not at all.
  QImage image(64, 34, QImage::Format_Grayscale8);
  image.fill(Qt::white);
  QPainter painter(&image);
  cells.Place(painter, u"\u3000", QPointF(0, 0));
  cells.Flush(painter);
  EXPECT_EQ(image.pixelColor(16, 17), QColor(Qt::white));
  cells.Place(painter, u"\u0E01", QPointF(0, 0));
  cells.Place(painter, u"国", QPointF(32, 0));
  cells.Flush(painter);
}

}  // namespace
}  // namespace mirotabe
