// The layout options through the whole conversion: segments become columns,
// gaps become blank columns, and the rules see the text before the Type 0
// entries.
#include <gtest/gtest.h>

#include "core/vertical_layout.h"
#include "tests/support/case_name.h"
#include "tests/support/swap_table.h"

namespace mirotabe {
namespace {

using testing_support::Table;

using enum SwapKind;

struct ColumnCase {
  const char* name;
  std::u16string input;
  LayoutSettings layout;
  SwapTable table;
  std::u16string output;
};

class ColumnLayoutTest : public testing::TestWithParam<ColumnCase> {};

TEST_P(ColumnLayoutTest, GivesTheVerticalText) {
  const ColumnCase& c = GetParam();
  const LayoutResult result = BuildVerticalLayout(c.input, {4, c.table, c.layout});
  const auto& layout = std::get<VerticalLayout>(result);
  EXPECT_EQ(layout.Text(), c.output);
  // The cells one by one agree with the text the layout gives in one go.
  std::u16string cells;
  for (std::size_t row = 0; row < layout.RowCount(); ++row) {
    if (row != 0) cells += u"\r\n";
    for (std::size_t column = 0; column < layout.ColumnCount(); ++column) {
      cells += layout.Cell(row, column);
    }
  }
  EXPECT_EQ(cells, c.output);
}

constexpr Kinsoku kHang = Kinsoku::kHang;
constexpr Kinsoku kPush = Kinsoku::kPushOut;

INSTANTIATE_TEST_SUITE_P(
    Options, ColumnLayoutTest,
    testing::Values(
        ColumnCase{"SegmentsRightToLeft", u"abcde", {2}, {}, u"ｅｃａ\r\n　ｄｂ"},
        ColumnCase{"ShortLinesStayWhole", u"abc\r\nd", {2}, {}, u"ｄｃａ\r\n　　ｂ"},
        ColumnCase{"Hang", u"あい。う", {2, kHang}, {}, u"うあ\r\n　い\r\n　。"},
        ColumnCase{"Push", u"あい。う", {2, kPush}, {}, u"ういあ\r\n　。　"},
        ColumnCase{"GapOfOne", u"a\r\nb", {0, Kinsoku::kNone, 1}, {}, u"ｂ　ａ"},
        ColumnCase{"GapOfTwo", u"a\r\nb\r\nc", {0, Kinsoku::kNone, 2}, {}, u"ｃ　　ｂ　　ａ"},
        ColumnCase{"GapBetweenSegments", u"abc", {2, Kinsoku::kNone, 1}, {}, u"ｃ　ａ\r\n　　ｂ"},
        ColumnCase{"GapKeepsEmptyLines", u"a\r\n\r\nb", {0, Kinsoku::kNone, 1}, {}, u"ｂ　　　ａ"},
        ColumnCase{"GapAloneIsNothing", u"\r\n", {0, Kinsoku::kNone, 2}, {}, u""},
        // The rule sees ー, which takes い down with it; the cell then shows
        // the entry's ｜.
        ColumnCase{"RulesBeforeType0",
                   u"あいー",
                   {2, kHang},
                   Table({{u"ー", u"｜", kCell}}),
                   u"いあ\r\n｜\u3000"},
        // A Type 0 entry that makes a bracket out of a letter makes no rule.
        ColumnCase{"Type0DoesNotMakeRules",
                   u"あいx",
                   {2, kHang},
                   Table({{u"ｘ", u"」", kCell}}),
                   u"」あ\r\n　い"},
        ColumnCase{
            "TwoUnitCellsInSegments", u"abc", {2}, Table({{u"ｃ", u"xy", kCell}}), u"xyａ\r\n　ｂ"},
        ColumnCase{"WordMovesDown",
                   u"pkcon install",
                   {8, kPush},
                   {},
                   u"ｉｐ\r\nｎｋ\r\nｓｃ\r\nｔｏ\r\nａｎ\r\nｌ　\r\nｌ　"},
        ColumnCase{"SpaceVanishesAtTheCut", u"ab cd", {2, kHang}, {}, u"ｃａ\r\nｄｂ"},
        ColumnCase{
            "PairsInSegments", u"😀a😀b😀", {2, Kinsoku::kNone, 1}, {}, u"😀　😀　😀\r\n　　ｂ　ａ"}),
    testing_support::CaseName());

TEST(ColumnLayoutTest, BoundCountsSegmentsAndGaps) {
  // Two segments with one gap: three columns of two rows.
  const std::u16string input = u"abcd";
  const LayoutSettings layout{2, Kinsoku::kNone, 1};
  EXPECT_TRUE(
      std::holds_alternative<VerticalLayout>(BuildVerticalLayout(input, {4, {}, layout}, 6)));
  const LayoutResult refused = BuildVerticalLayout(input, {4, {}, layout}, 5);
  ASSERT_TRUE(std::holds_alternative<LayoutTooLarge>(refused));
  EXPECT_EQ(std::get<LayoutTooLarge>(refused).lines, 3u);
  EXPECT_EQ(std::get<LayoutTooLarge>(refused).longestLine, 2u);
}

}  // namespace
}  // namespace mirotabe
