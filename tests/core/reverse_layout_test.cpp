#include "core/reverse_layout.h"

#include <gtest/gtest.h>

#include <random>

#include "core/code_points.h"
#include "core/fullwidth.h"
#include "core/vertical_layout.h"
#include "tests/support/case_name.h"

namespace mirotabe {
namespace {

struct ReverseCase {
  const char* name;
  std::u16string vertical;
  std::u16string horizontal;
};

class ReverseLayoutTest : public testing::TestWithParam<ReverseCase> {};

std::u16string Reverse(std::u16string_view vertical) {
  return std::get<std::u16string>(ReverseLayout(vertical));
}

TEST_P(ReverseLayoutTest, ReadsTheColumnsBack) {
  EXPECT_EQ(Reverse(GetParam().vertical), GetParam().horizontal);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReverseLayoutTest,
    testing::Values(ReverseCase{"Empty", u"", u""}, ReverseCase{"OneColumn", u"ａ\r\nｂ", u"ａｂ"},
                    ReverseCase{"RightToLeft", u"ｃａ\r\n　ｂ", u"ａｂ\r\nｃ"},
                    ReverseCase{"BlanksInsideStay", u"ａ\r\n　\r\nｂ", u"ａ　ｂ"},
                    ReverseCase{"BlankColumnIsEmptyLine", u"ｂ　ａ", u"ａ\r\n\r\nｂ"},
                    // An editor that drops trailing blanks shortens rows on the right.
                    ReverseCase{"ShortRowsLackRightCells", u"ｃａ\r\nｄ", u"ａ\r\nｃｄ"},
                    ReverseCase{"OnlyFullWidthBlanksDropped", u"ba\r\n d", u"ad\r\nb "},
                    ReverseCase{"PairIsOneCell", u"😀ａ\r\nｂ😀", u"ａ😀\r\n😀ｂ"},
                    ReverseCase{"FinalBreakIsABlankRow", u"ａ\r\n", u"ａ"},
                    ReverseCase{"OnlyBlanks", u"　　\r\n　　", u"\r\n"}),
    testing_support::CaseName());

// reverse(layout(x)) = fullwidth(x) for texts without tabs and without
// blanks at the end of a line, laid out with an empty table and no options.
TEST(ReverseLayoutTest, UndoesTheLayout) {
  std::mt19937 random(11);
  const std::u16string alphabet = u"あいう漢字ーabcXYZ 　ｱﾞｶﾞ。「」😀";
  const auto pick = [&] {
    std::size_t i = random() % alphabet.size();
    if (IsLowSurrogate(alphabet[i])) --i;
    return alphabet.substr(i, IsHighSurrogate(alphabet[i]) ? 2 : 1);
  };
  for (int round = 0; round < 300; ++round) {
    std::u16string text;
    const int lines = 1 + static_cast<int>(random() % 12);
    bool anyCharacter = false;
    for (int line = 0; line < lines; ++line) {
      if (line != 0) text += u"\r\n";
      std::u16string body;
      const int length = static_cast<int>(random() % 20);
      for (int i = 0; i < length; ++i) body += pick();
      while (!body.empty() && (body.back() == u' ' || body.back() == u'\u3000')) body.pop_back();
      anyCharacter = anyCharacter || !body.empty();
      text += body;
    }
    if (!anyCharacter) continue;
    const LayoutResult layout = BuildVerticalLayout(text, {4, {}, {}});
    EXPECT_EQ(Reverse(std::get<VerticalLayout>(layout).Text()), ToFullWidth(text))
        << "round " << round;
  }
}

// Three rows, the widest of four cells: 12 cells.
TEST(ReverseLayoutTest, RefusesMoreCellsThanTheBound) {
  const std::u16string vertical = u"ａ\r\nｂｃｄｅ\r\nｆ";
  EXPECT_TRUE(std::holds_alternative<std::u16string>(ReverseLayout(vertical, 12)));
  const ReverseResult refused = ReverseLayout(vertical, 11);
  ASSERT_TRUE(std::holds_alternative<LayoutTooLarge>(refused));
  EXPECT_EQ(std::get<LayoutTooLarge>(refused).lines, 3u);
  EXPECT_EQ(std::get<LayoutTooLarge>(refused).longestLine, 4u);
}

}  // namespace
}  // namespace mirotabe
