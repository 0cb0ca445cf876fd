// The layout options through the whole conversion: segments become columns,
// gaps become blank columns, and the rules see the text before the Type 0
// entries.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <random>
#include <string>
#include <string_view>

#include "core/page_setup.h"
#include "core/vertical_layout.h"
#include "tests/support/case_name.h"
#include "tests/support/column_lengths.h"
#include "tests/support/swap_table.h"

namespace mirotabe {
namespace {

using testing_support::CellsWithinLength;
using testing_support::DrawnWithinLength;
using testing_support::HoldsTheWholeText;
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

// Laid out as the text output and as pages of `setup`, under `settings`,
// no column runs past its length, but for a mark that hangs below it, and
// every character of `text` stands in a column.
void ExpectColumnsWithinTheirLength(std::u16string_view text, const LayoutSettings& settings,
                                    PageSetup setup) {
  setup.columnLength = settings.columnLength;
  setup.kinsoku = settings.kinsoku;
  const VerticalLayout textOutput =
      std::get<VerticalLayout>(BuildVerticalLayout(text, {4, {}, settings}));
  EXPECT_TRUE(HoldsTheWholeText(textOutput));
  EXPECT_TRUE(CellsWithinLength(textOutput, settings));
  const VerticalLayout pages = std::get<VerticalLayout>(BuildVerticalLayout(
      text, {4, {}, PageLayoutSettings(settings, setup, PageGeometryOf(setup))}));
  EXPECT_TRUE(HoldsTheWholeText(pages));
  EXPECT_TRUE(DrawnWithinLength(pages, setup, settings.kinsoku));
}

// A text drawn at random from the pieces the cutting rules meet at once:
// stray ruby marks, closing and opening brackets, 、。, small kana, ー,
// digits that 縦中横 may set, Latin, spaces, a pair beyond the BMP, and
// line breaks, lone and whole.
std::u16string RandomCuttingText(std::mt19937& random) {
  static constexpr std::u16string_view kPieces[] = {
      u"｜", u"《", u"》", u"《《", u"、", u"。",         u"」",
      u"「", u"ゃ", u"っ", u"ー",   u"1",  u"12",         u"123",
      u"ab", u"x",  u" ",  u"　",   u"𠮷", u"\r\n",       u"\r",
      u"\n", u"の", u"字", u"漢字", u"!?", u"｜字《じ》", u"漢字《かんじ》",
      u"%",  u"."};
  std::u16string text;
  for (std::size_t n = 1 + random() % 24; n > 0; --n) {
    text += kPieces[random() % std::size(kPieces)];
  }
  return text;
}

// The same under every rule, with 縦中横, sideways Latin and ruby on and
// off, on pages that flow and on 原稿用紙: first for texts where a number
// that 縦中横 sets in one cell met a cut that the rules moved back (the
// cut fell between its digits, and the column after set the second digit
// in a cell it had not counted), then for many random texts.
TEST(ColumnLayoutTest, ColumnsKeepTheirLengthAndTheText) {
  struct Found {
    std::u16string_view text;
    Paper paper;
    std::size_t columnLength;
  };
  for (const Found& found :
       {Found{u"の、𠮷か｜ー字𠮷12｜｜。あ\r\n。の」abの「《《12 」ab漢字《《ー", Paper::kB6, 5},
        Found{u" のゃ《《12、\r」。、《《ー漢字《かんじ》", Paper::kB5, 3}}) {
    for (const Kinsoku kinsoku : {Kinsoku::kNone, Kinsoku::kHang, Kinsoku::kPushOut}) {
      SCOPED_TRACE(testing::Message() << found.columnLength << " " << static_cast<int>(kinsoku));
      ExpectColumnsWithinTheirLength(found.text, {found.columnLength, kinsoku},
                                     PageSetup{true, found.paper});
    }
  }
  std::mt19937 random(28);  // NOLINT(cert-msc32-c,cert-msc51-cpp): the same texts every run
  for (int round = 0; round < 3000 && !HasFailure(); ++round) {
    const std::u16string text = RandomCuttingText(random);
    LayoutSettings settings;
    settings.columnLength = 1 + random() % 8;
    settings.kinsoku = static_cast<Kinsoku>(random() % 3);
    settings.ruby = random() % 2 == 0;
    settings.tcy = static_cast<std::uint8_t>(std::array{0, 2, 3}[random() % 3]);
    settings.latin = random() % 2 == 0 ? LatinSetting::kCells : LatinSetting::kSideways;
    const Paper paper = random() % 4 == 0 ? Paper::kGenkou : Paper::kA6;
    SCOPED_TRACE(testing::Message()
                 << testing::PrintToString(text) << " in columns of " << settings.columnLength
                 << ", kinsoku " << static_cast<int>(settings.kinsoku) << ", ruby " << settings.ruby
                 << ", tcy " << static_cast<int>(*settings.tcy) << ", latin "
                 << static_cast<int>(*settings.latin) << ", paper " << static_cast<int>(paper));
    ExpectColumnsWithinTheirLength(text, settings, PageSetup{true, paper});
  }
}

}  // namespace
}  // namespace mirotabe
