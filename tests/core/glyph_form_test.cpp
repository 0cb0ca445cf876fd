#include "core/glyph_form.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace mirotabe {
namespace {

using enum GlyphForm;

struct Case {
  std::u16string cell;
  // With glyph forms on, in a cell no entry made: the form drawn when the
  // font has a vertical form for it, and when it has none.
  GlyphForm withForm;
  GlyphForm withoutForm;
};

// One character of each orientation class, the characters whose turn
// users notice (－ ：； “ ”), a character beyond the BMP, and cells that
// are not one character.
TEST(GlyphFormTest, SidewaysCharactersTurnOthersTakeTheFontsFormElseTheirClassDecides) {
  for (const Case& c : {
           Case{u"国", kVertical, kUpright},
           Case{u"𠮷", kVertical, kUpright},
           Case{u"Ａ", kVertical, kUpright},
           Case{u"０", kVertical, kUpright},
           Case{u"😀", kVertical, kUpright},
           Case{u"、", kVertical, kUpright},
           Case{u"。", kVertical, kUpright},
           Case{u"ぁ", kVertical, kUpright},
           Case{u"ー", kVertical, kTurned},
           Case{u"「", kVertical, kTurned},
           Case{u"：", kVertical, kTurned},
           Case{u"；", kVertical, kTurned},
           Case{u"｜", kVertical, kTurned},
           // Set on their side whatever the font has.
           Case{u"－", kTurned, kTurned},
           Case{u"“", kTurned, kTurned},
           Case{u"”", kTurned, kTurned},
           Case{u"…", kTurned, kTurned},
           Case{u"＝", kTurned, kTurned},
           Case{u"→", kTurned, kTurned},
           Case{u"┐", kTurned, kTurned},
           Case{u"\xD800", kTurned, kTurned},
           // Only an entry makes a cell of two characters, or an empty one.
           Case{u"ab", kUpright, kUpright},
           Case{u"", kUpright, kUpright},
       }) {
    SCOPED_TRACE(testing::PrintToString(std::u16string_view(c.cell)));
    for (const bool fontHasForm : {true, false}) {
      const GlyphForm expected = fontHasForm ? c.withForm : c.withoutForm;
      EXPECT_EQ(FormOfGlyph(OrientationOfCell(c.cell, true, false), fontHasForm), expected);
      // An entry's output, and every cell with glyph forms off, stands as
      // it is, and the font is not asked.
      for (const auto& [glyphForms, fromEntry] :
           {std::pair{true, true}, std::pair{false, false}, std::pair{false, true}}) {
        EXPECT_EQ(OrientationOfCell(c.cell, glyphForms, fromEntry), CellOrientation::kAsItStands);
        EXPECT_EQ(FormOfGlyph(CellOrientation::kAsItStands, fontHasForm), kUpright);
      }
    }
  }
}

}  // namespace
}  // namespace mirotabe
