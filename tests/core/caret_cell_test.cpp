#include "core/caret_cell.h"

#include <gtest/gtest.h>

#include "tests/support/case_name.h"

namespace mirotabe {
namespace {

using enum SwapKind;

struct CaretCase {
  const char* name;
  std::u16string text;  // what the layout was made of
  std::size_t line;
  std::u16string before;  // the caret's line up to the caret
  std::uint8_t tabSpace;
  std::vector<SwapEntry> entries;
  LayoutSettings columns;
  std::optional<CellPosition> expected;
};

class CaretCellTest : public testing::TestWithParam<CaretCase> {};

TEST_P(CaretCellTest, FindsTheCellOfTheCharacterBeforeTheCaret) {
  const CaretCase& c = GetParam();
  LayoutRules rules{c.tabSpace, {}, c.columns};
  for (const SwapEntry& entry : c.entries) rules.table.Append(entry);
  const LayoutResult layout = BuildVerticalLayout(c.text, rules);
  EXPECT_EQ(CaretCell(std::get<VerticalLayout>(layout), c.line, c.before, rules), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CaretCellTest,
    testing::Values(
        CaretCase{"StartOfFirstLine", u"abcde\r\nx\r\ny", 0, u"", 0, {}, {}, CellPosition{0, 2}},
        CaretCase{
            "AfterFirstCharacter", u"abcde\r\nx\r\ny", 0, u"a", 0, {}, {}, CellPosition{0, 2}},
        CaretCase{"ThirdCharacterOfLastLine",
                  u"abcde\r\nx\r\nabc",
                  2,
                  u"abc",
                  0,
                  {},
                  {},
                  CellPosition{2, 0}},
        CaretCase{
            "SurrogatePairIsOneCell", u"abcde\r\n😀x\r\ny", 1, u"😀x", 0, {}, {}, CellPosition{1, 1}},
        CaretCase{"TabsWiden", u"\tx", 0, u"\tx", 4, {}, {}, CellPosition{4, 0}},
        CaretCase{"TabOfNothingVanishes", u"\tx", 0, u"\tx", 0, {}, {}, CellPosition{0, 0}},
        CaretCase{"ReplacementShortens",
                  u"abcx",
                  0,
                  u"abcx",
                  0,
                  {{u"abc", u"Z", kWholeText}},
                  {},
                  CellPosition{1, 0}},
        CaretCase{"ReplacementBreaksTheLine",
                  u"a|bc",
                  0,
                  u"a|bc",
                  0,
                  {{u"|", u"\r\n", kWholeText}},
                  {},
                  CellPosition{1, 0}},
        CaretCase{"CellReplacementKeepsPlace",
                  u"ab",
                  0,
                  u"ab",
                  0,
                  {{u"ｂ", u"xy", kCell}},
                  {},
                  CellPosition{1, 0}},
        CaretCase{"RowClampedToStaleLayout", u"ab", 0, u"abcdef", 0, {}, {}, CellPosition{1, 0}},
        CaretCase{
            "LineClampedToStaleLayout", u"ab\r\nc\r\nd", 7, u"a", 0, {}, {}, CellPosition{0, 0}},
        CaretCase{"GapsBetweenColumns",
                  u"abcde\r\nab\r\nc",
                  1,
                  u"ab",
                  0,
                  {},
                  {0, Kinsoku::kNone, 2},
                  CellPosition{1, 3}},
        CaretCase{"ColumnLengthCutsTheLine",
                  u"abc\r\nab\r\nabcdefg",
                  2,
                  u"abcdefg",
                  0,
                  {},
                  {3, Kinsoku::kNone, 0},
                  CellPosition{0, 0}},
        CaretCase{"ColumnLengthAtACut",
                  u"abc\r\nde",
                  0,
                  u"abc",
                  0,
                  {},
                  {3, Kinsoku::kNone, 1},
                  CellPosition{2, 2}},
        // The whole line decides the cuts: the character pushed out with the
        // mark after it stands at the top of the next column.
        CaretCase{"PushedOutWithTheMarkAfterIt",
                  u"あいう。",
                  0,
                  u"あいう",
                  0,
                  {},
                  {3, Kinsoku::kPushOut, 0},
                  CellPosition{0, 0}},
        // The word after the caret moves the caret's character on; a space
        // at a cut belongs to no column and shows just past the one before.
        CaretCase{"WordMovesOn",
                  u"ab cdef",
                  0,
                  u"ab c",
                  0,
                  {},
                  {4, Kinsoku::kPushOut, 0},
                  CellPosition{0, 0}},
        CaretCase{"SpaceVanishedAtTheCut",
                  u"abcd ef",
                  0,
                  u"abcd ",
                  0,
                  {},
                  {4, Kinsoku::kHang, 0},
                  CellPosition{3, 1}},
        CaretCase{"EmptyLayout", u"", 0, u"a", 0, {}, {}, std::nullopt}),
    testing_support::CaseName());

TEST(CharKindTest, SortsCharactersIntoRuns) {
  const struct {
    char32_t c;
    CharKind kind;
  } cases[] = {
      {U'\u3000', CharKind::kBlank},     {U' ', CharKind::kBlank},
      {U'漢', CharKind::kKanji},         {U'々', CharKind::kKanji},
      {U'𠮷', CharKind::kKanji},         {U'あ', CharKind::kHiragana},
      {U'ゝ', CharKind::kHiragana},      {U'カ', CharKind::kKatakana},
      {U'ー', CharKind::kKatakana},      {U'ｶ', CharKind::kKatakana},
      {U'ａ', CharKind::kLetterOrDigit}, {U'Ｚ', CharKind::kLetterOrDigit},
      {U'０', CharKind::kLetterOrDigit}, {U'é', CharKind::kLetterOrDigit},
      {U'×', CharKind::kOther},          {U'、', CharKind::kOther},
      {U'「', CharKind::kOther},         {U'😀', CharKind::kOther},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(KindOf(c.c), c.kind) << static_cast<std::uint32_t>(c.c);
  }
}

}  // namespace
}  // namespace mirotabe
