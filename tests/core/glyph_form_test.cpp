#include "core/glyph_form.h"

#include <gtest/gtest.h>

#include <cstdint>
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
  // What a painter without vertical forms draws in their stead.
  StandInForm standIn;
};

// One character of each orientation class, the characters whose turn
// users notice (－ ：； “ ”), a character beyond the BMP, and cells that
// are not one character.
TEST(GlyphFormTest, SidewaysCharactersTurnOthersTakeTheFontsFormElseTheirClassDecidesOrAStandIn) {
  for (const Case& c : {
           Case{u"国", kVertical, kUpright, StandInForm::kUpright},
           Case{u"𠮷", kVertical, kUpright, StandInForm::kUpright},
           Case{u"Ａ", kVertical, kUpright, StandInForm::kUpright},
           Case{u"０", kVertical, kUpright, StandInForm::kUpright},
           Case{u"😀", kVertical, kUpright, StandInForm::kUpright},
           Case{u"、", kVertical, kUpright, StandInForm::kMirroredPlace},
           Case{u"。", kVertical, kUpright, StandInForm::kMirroredPlace},
           Case{u"ぁ", kVertical, kUpright, StandInForm::kSmallKana},
           Case{u"，", kVertical, kUpright, StandInForm::kMirroredPlace},
           Case{u"ヶ", kVertical, kUpright, StandInForm::kSmallKana},
           Case{u"ㇿ", kVertical, kUpright, StandInForm::kSmallKana},
           Case{u"ー", kVertical, kTurned, StandInForm::kTurned},
           Case{u"「", kVertical, kTurned, StandInForm::kTurned},
           Case{u"：", kVertical, kTurned, StandInForm::kTurned},
           Case{u"；", kVertical, kTurned, StandInForm::kTurned},
           Case{u"｜", kVertical, kTurned, StandInForm::kTurned},
           // Set on their side whatever the font has.
           Case{u"－", kTurned, kTurned, StandInForm::kTurned},
           Case{u"“", kTurned, kTurned, StandInForm::kTurned},
           Case{u"”", kTurned, kTurned, StandInForm::kTurned},
           Case{u"…", kTurned, kTurned, StandInForm::kTurned},
           Case{u"＝", kTurned, kTurned, StandInForm::kTurned},
           Case{u"→", kTurned, kTurned, StandInForm::kTurned},
           Case{u"┐", kTurned, kTurned, StandInForm::kTurned},
           Case{u"\xD800", kTurned, kTurned, StandInForm::kTurned},
           // Only an entry makes a cell of two characters, or an empty one.
           Case{u"ab", kUpright, kUpright, StandInForm::kUpright},
           Case{u"", kUpright, kUpright, StandInForm::kUpright},
       }) {
    SCOPED_TRACE(testing::PrintToString(std::u16string_view(c.cell)));
    const CellOrientation orientation = OrientationOfCell(c.cell, true, false);
    EXPECT_EQ(StandInFormOf(orientation, c.cell.empty() ? 0 : c.cell[0]), c.standIn);
    EXPECT_EQ(StandInFormOf(CellOrientation::kAsItStands, U'、'), StandInForm::kUpright);
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

// Two marks give up half an em where a blank half of one meets the other;
// ink against ink, and any other character, keep their whole cells.
TEST(GlyphFormTest, AdjacentMarksShareTheBlankHalfBetweenThem) {
  struct Pair {
    char32_t before;
    char32_t after;
    double shared;
  };
  for (const Pair& p : {
           Pair{U'」', U'。', 0.5},
           Pair{U'。', U'」', 0.5},
           Pair{U'、', U'「', 0.5},
           Pair{U'」', U'「', 0.5},
           Pair{U'「', U'『', 0.5},
           Pair{U'）', U'、', 0.5},
           Pair{U'』', U'」', 0.5},
           Pair{U'．', U'（', 0.5},
           Pair{U'「', U'」', 0},
           Pair{U'あ', U'「', 0},
           Pair{U'」', U'あ', 0},
           Pair{U'・', U'「', 0},
           Pair{U'」', U'\u3000', 0},
           Pair{U'ー', U'」', 0},
           Pair{0, U'「', 0},
       }) {
    EXPECT_EQ(SharedBlankBetween(p.before, p.after), p.shared)
        << static_cast<std::uint32_t>(p.before) << " " << static_cast<std::uint32_t>(p.after);
  }
}

}  // namespace
}  // namespace mirotabe
