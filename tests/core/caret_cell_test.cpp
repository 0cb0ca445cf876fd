#include "core/caret_cell.h"

#include <gtest/gtest.h>

#include "tests/support/case_name.h"

namespace mirotabe {
namespace {

using enum SwapKind;

struct CaretCase {
  const char* name;
  std::size_t line;
  std::u16string before;  // the caret's line up to the caret
  std::uint8_t tabSpace;
  std::vector<SwapEntry> entries;
  LayoutSettings layout;
  std::size_t rows, columns;
  std::optional<CellPosition> expected;
};

class CaretCellTest : public testing::TestWithParam<CaretCase> {};

TEST_P(CaretCellTest, FindsTheCellOfTheCharacterBeforeTheCaret) {
  const CaretCase& c = GetParam();
  SwapTable table;
  for (const SwapEntry& entry : c.entries) table.Append(entry);
  EXPECT_EQ(CaretCell(c.line, c.before, c.tabSpace, table, c.layout, c.rows, c.columns),
            c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CaretCellTest,
    testing::Values(
        CaretCase{"StartOfFirstLine", 0, u"", 0, {}, {}, 5, 3, CellPosition{0, 2}},
        CaretCase{"AfterFirstCharacter", 0, u"a", 0, {}, {}, 5, 3, CellPosition{0, 2}},
        CaretCase{"ThirdCharacterOfLastLine", 2, u"abc", 0, {}, {}, 5, 3, CellPosition{2, 0}},
        CaretCase{"SurrogatePairIsOneCell", 1, u"😀x", 0, {}, {}, 5, 3, CellPosition{1, 1}},
        CaretCase{"TabsWiden", 0, u"\tx", 4, {}, {}, 9, 1, CellPosition{4, 0}},
        CaretCase{"TabOfNothingVanishes", 0, u"\tx", 0, {}, {}, 9, 1, CellPosition{0, 0}},
        CaretCase{"ReplacementShortens",
                  0,
                  u"abcx",
                  0,
                  {{u"abc", u"Z", kWholeText}},
                  {},
                  9,
                  1,
                  CellPosition{1, 0}},
        CaretCase{"ReplacementBreaksTheLine",
                  0,
                  u"a|bc",
                  0,
                  {{u"|", u"\r\n", kWholeText}},
                  {},
                  9,
                  2,
                  CellPosition{1, 0}},
        CaretCase{"CellReplacementKeepsPlace",
                  0,
                  u"ab",
                  0,
                  {{u"ｂ", u"xy", kCell}},
                  {},
                  9,
                  1,
                  CellPosition{1, 0}},
        CaretCase{"RowClampedToStaleLayout", 0, u"abcdef", 0, {}, {}, 2, 1, CellPosition{1, 0}},
        CaretCase{"LineClampedToStaleLayout", 7, u"a", 0, {}, {}, 2, 3, CellPosition{0, 0}},
        CaretCase{"GapsBetweenColumns",
                  1,
                  u"ab",
                  0,
                  {},
                  {0, Kinsoku::kNone, 2},
                  5,
                  7,
                  CellPosition{1, 3}},
        CaretCase{"ColumnLengthCutsTheLine",
                  2,
                  u"abcdefg",
                  0,
                  {},
                  {3, Kinsoku::kNone, 0},
                  3,
                  6,
                  CellPosition{0, 1}},
        CaretCase{"ColumnLengthAtACut",
                  0,
                  u"abc",
                  0,
                  {},
                  {3, Kinsoku::kNone, 1},
                  3,
                  3,
                  CellPosition{2, 2}},
        CaretCase{"EmptyLayout", 0, u"a", 0, {}, {}, 0, 0, std::nullopt}),
    testing_support::CaseName());

TEST(ColumnsOfLineTest, CountsTheCutsOfALine) {
  const SwapTable table;
  EXPECT_EQ(ColumnsOfLine(u"abcdefg", 0, table, {}), 1u);
  EXPECT_EQ(ColumnsOfLine(u"abcdefg", 0, table, {3, Kinsoku::kNone, 1}), 3u);
  EXPECT_EQ(ColumnsOfLine(u"", 0, table, {3, Kinsoku::kNone, 0}), 1u);
  EXPECT_EQ(ColumnsOfLine(u"\t", 4, table, {3, Kinsoku::kNone, 0}), 2u);
}

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
