#include "core/vertical_layout.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <random>

#include "core/caret_cell.h"
#include "core/column_segments.h"
#include "core/fullwidth.h"
#include "core/layout_cp932.h"
#include "core/prepare_text.h"
#include "core/vertical_presets.h"
#include "platform/charset.h"
#include "platform/cp932_pairs.h"
#include "tests/support/case_name.h"
#include "tests/support/program_lines.h"
#include "tests/support/swap_table.h"

namespace mirotabe {
namespace {

using testing_support::Table;

using enum SwapKind;

std::u16string Convert(std::u16string_view input, const SwapTable& table = {},
                       std::uint8_t tabSpace = 4) {
  LayoutResult result = BuildVerticalLayout(input, {tabSpace, table, {}});
  return std::get<VerticalLayout>(result).Text();
}

struct ConversionCase {
  const char* name;
  std::u16string input;
  SwapTable table;
  std::uint8_t tabSpace;
  std::u16string output;
};

class ConversionTest : public testing::TestWithParam<ConversionCase> {};

TEST_P(ConversionTest, GivesTheVerticalText) {
  const ConversionCase& c = GetParam();
  EXPECT_EQ(Convert(c.input, c.table, c.tabSpace), c.output);
}

INSTANTIATE_TEST_SUITE_P(
    WorkedExamples, ConversionTest,
    testing::Values(ConversionCase{"TwoLines", u"ab\r\nc", {}, 4, u"ｃａ\r\n　ｂ"},
                    ConversionCase{"TabOfTwo", u"a\tb", {}, 2, u"ａ\r\n　\r\n　\r\nｂ"},
                    ConversionCase{"FinalLineBreak", u"ab\r\n", {}, 4, u"　ａ\r\n　ｂ"},
                    ConversionCase{"EmptyLineInside", u"a\r\n\r\nb", {}, 4, u"ｂ　ａ"},
                    ConversionCase{"Type0Bar", u"ラーメン", Table({{u"ー", u"｜", kCell}}), 4,
                                   u"ラ\r\n｜\r\nメ\r\nン"},
                    ConversionCase{"Type1Chain", u"ab",
                                   Table({{u"a", u"b", kWholeText}, {u"b", u"c", kWholeText}}), 4,
                                   u"ｃ\r\nｃ"},
                    ConversionCase{"Type0Chain", u"ab",
                                   Table({{u"ａ", u"ｂ", kCell}, {u"ｂ", u"ｃ", kCell}}), 4,
                                   u"ｃ\r\nｃ"}),
    testing_support::CaseName());

INSTANTIATE_TEST_SUITE_P(
    EdgeCases, ConversionTest,
    testing::Values(
        ConversionCase{"EmptyInput", u"", Table({{u"a", u"b", kWholeText}}), 4, u""},
        ConversionCase{"OneLineOneCellPerRow", u"abc", {}, 4, u"ａ\r\nｂ\r\nｃ"},
        ConversionCase{
            "ShortLinesPaddedAtTheBottom", u"a\r\nbcd\r\nef", {}, 4, u"ｅｂａ\r\nｆｃ　\r\n　ｄ　"},
        ConversionCase{"TabOfFour", u"\tx", {}, 4, u"　\r\n　\r\n　\r\n　\r\nｘ"},
        ConversionCase{"TabOfZeroDisappears", u"a\tb", {}, 0, u"ａ\r\nｂ"},
        // Nothing left to lay out gives an empty pane, not a failure.
        ConversionCase{"OnlyTabsOfZero", u"\t\t", {}, 0, u""},
        ConversionCase{"OnlyLineBreaks", u"\r\n\r\n", {}, 4, u""},
        ConversionCase{"EverythingDeleted", u"aa", Table({{u"a", u"", kWholeText}}), 4, u""},
        ConversionCase{"Type1EmptyToDeletes", u"abab", Table({{u"a", u"", kWholeText}}), 4,
                       u"ｂ\r\nｂ"},
        ConversionCase{"Type1EmptyFromDoesNothing", u"ab", Table({{u"", u"x", kWholeText}}), 4,
                       u"ａ\r\nｂ"},
        ConversionCase{"Type1NoOverlapsNoRescan", u"aaa", Table({{u"aa", u"a", kWholeText}}), 4,
                       u"ａ\r\nａ"},
        // A Type 1 To goes through the tabs and the full-width mapping.
        ConversionCase{"Type1ToIsWidened", u"x", Table({{u"x", u"a\tb", kWholeText}}), 1,
                       u"ａ\r\n　\r\nｂ"},
        ConversionCase{"Type0TwoBarsKeepOne", u"ー", Table({{u"ー", u"｜｜", kCell}}), 4, u"｜"},
        ConversionCase{"Type0EmptyToGivesEmptyCell", u"aー\r\nbc", Table({{u"ー", u"", kCell}}), 4,
                       u"ｂａ\r\nｃ"},
        ConversionCase{"OtherTypesDoNothing", u"ab",
                       Table({{u"a", u"x", SwapKind{2}}, {u"ｂ", u"y", SwapKind{7}}}), 4,
                       u"ａ\r\nｂ"},
        ConversionCase{"KindsBeyondEightBitsDoNothing", u"ab",
                       Table({StoredSwapEntry(u"ａ", u"x", 256), StoredSwapEntry(u"a", u"y", 257),
                              StoredSwapEntry(u"ｂ", u"z", -1)}),
                       4, u"ａ\r\nｂ"},
        ConversionCase{"Type0FromIsTrimmed", u"ラー", Table({{u" ー ", u"｜", kCell}}), 4,
                       u"ラ\r\n｜"},
        ConversionCase{"Type1FromIsNotTrimmed", u"ラー", Table({{u" ー ", u"｜", kWholeText}}), 4,
                       u"ラ\r\nー"},
        // Only ASCII spaces are trimmed, so the spaces typed spaces become
        // can still be targeted.
        ConversionCase{"Type0FullWidthSpaceKept", u"a b", Table({{u"\u3000", u"・", kCell}}), 4,
                       u"ａ\r\n・\r\nｂ"},
        ConversionCase{"Type0AsciiSpaceFromNeverMatches", u"a b", Table({{u" ", u"・", kCell}}), 4,
                       u"ａ\r\n　\r\nｂ"},
        ConversionCase{"ComparisonIsExact", u"aA", Table({{u"ａ", u"x", kCell}}), 4, u"x\r\nＡ"},
        ConversionCase{"HalfWidthType0FromMissesWidenedText", u"a", Table({{u"a", u"x", kCell}}), 4,
                       u"ａ"},
        // A longer From matches only a cell an earlier entry produced.
        ConversionCase{"Type0LongFromMatchesProducedCell", u"a",
                       Table({{u"ａ", u"xy", kCell}, {u"xy", u"z", kCell}}), 4, u"z"},
        ConversionCase{"Type0EarlierEntryNotReapplied", u"ab",
                       Table({{u"ｂ", u"ｃ", kCell}, {u"ａ", u"ｂ", kCell}}), 4, u"ｂ\r\nｃ"},
        ConversionCase{"Type0ChainBackToStart", u"ab",
                       Table({{u"ａ", u"ｂ", kCell}, {u"ｂ", u"ａ", kCell}}), 4, u"ａ\r\nａ"},
        ConversionCase{"LoneLineFeedTakesACell", u"a\nb", {}, 4, u"ａ\r\n\n\r\nｂ"},
        ConversionCase{"LoneCarriageReturnTakesACell", u"a\rb", {}, 4, u"ａ\r\n\r\r\nｂ"},
        // A surrogate pair is one cell, never split across rows.
        ConversionCase{"SurrogatePairIsOneCell", u"😀a\r\nb", {}, 4, u"ｂ😀\r\n　ａ"},
        ConversionCase{"SurrogatePairReplaced", u"x😀", Table({{u"😀", u"☆", kCell}}), 4, u"ｘ\r\n☆"},
        ConversionCase{"TwoAsciiCellsInGrid", u"ab\r\ncd", Table({{u"ｄ", u"xy", kCell}}), 4,
                       u"ｃａ\r\nxyｂ"}),
    testing_support::CaseName());

// The two characters of a one-way pair of code page 932 are one character
// to the entries, and the text keeps its own where nothing replaces it.
INSTANTIATE_TEST_SUITE_P(
    OneWayPairs, ConversionTest,
    testing::Values(ConversionCase{"Type0TypedFromMatchesBoth", u"〜～",
                                   Table({{u"〜", u"｜", kCell}}), 4, u"｜\r\n｜"},
                    ConversionCase{"Type0StoredFromMatchesBoth", u"〜～",
                                   Table({{u"～", u"｜", kCell}}), 4, u"｜\r\n｜"},
                    ConversionCase{"Type0ChainThroughAPair", u"〜",
                                   Table({{u"〜", u"－", kCell}, {u"−", u"｜", kCell}}), 4, u"｜"},
                    ConversionCase{"Type0UnmatchedKeepsTheTyped", u"〜−",
                                   Table({{u"ー", u"｜", kCell}}), 4, u"〜\r\n−"},
                    ConversionCase{"Type1TypedFromMatchesBoth", u"a〜b a～b",
                                   Table({{u"a〜b", u"x", kWholeText}}), 4, u"ｘ\r\n　\r\nｘ"},
                    ConversionCase{"Type1StoredFromMatchesBoth", u"—‖―∥",
                                   Table({{u"―∥", u"y", kWholeText}}), 4, u"ｙ\r\nｙ"},
                    ConversionCase{"Type1PairInsideAWord", u"1−2",
                                   Table({{u"－", u"-", kWholeText}}), 4, u"１\r\n－\r\n２"},
                    ConversionCase{"Type1UnmatchedKeepsTheTyped", u"〜£",
                                   Table({{u"〜x", u"y", kWholeText}}), 4, u"〜\r\n￡"}),
    testing_support::CaseName());

// Every pair the converter knows, from either side, in both kinds.
TEST(VerticalLayoutTest, EveryOneWayPairMatchesFromEitherSide) {
  ASSERT_FALSE(Cp932OneWayPairs().empty());
  for (const Cp932Pair& pair : Cp932OneWayPairs()) {
    const std::u16string typed(1, pair.typed);
    const std::u16string stored(1, pair.stored);
    const std::u16string both = typed + stored;
    for (const std::u16string& from : {typed, stored}) {
      SCOPED_TRACE(testing::Message() << std::hex << int{pair.typed} << " from " << int{from[0]});
      EXPECT_EQ(Convert(both, Table({{from, u"ｚ", kWholeText}})), u"ｚ\r\nｚ");
      // Cells are matched after the full-width mapping, which already
      // joins some pairs (¢ and ￠) and moves others out of reach.
      if (ToFullWidth(both) == both) {
        EXPECT_EQ(Convert(both, Table({{from, u"ｚ", kCell}})), u"ｚ\r\nｚ");
      }
    }
  }
}

SwapTable UnicodePreset() {
  SwapTable table;
  AddPresetEntries(table, VerticalPresets()[1]);
  return table;
}

// A cell knows whether an entry made it: a Type 0 entry's cell, replaced in
// the text or looked up as it is read, or what a Type 1 entry wrote,
// through tabs, the full-width mapping and Type 0 entries after it; the
// same character in the text itself is the text's.
TEST(VerticalLayoutTest, CellsKnowWhetherAnEntryMadeThem) {
  struct Case {
    const char* name;
    std::u16string text;
    SwapTable table;
    // Each cell of the one column, top down: whether an entry made it.
    std::vector<bool> made;
  };
  const Case cases[] = {
      {"replaced in place",
       u"ー｜「あ",
       Table({{u"ー", u"｜", kCell}, {u"「", u"┐", kCell}}),
       {true, false, true, false}},
      {"replaced as read",
       u"ーあ｜",
       Table({{u"ー", u"｜", kCell}, {u"あ", u"ab", kCell}}),
       {true, true, false}},
      {"beside a surrogate pair", u"😀ー｜", Table({{u"ー", u"｜", kCell}}), {false, true, false}},
      {"written whole", u"a...…", Table({{u"...", u"…", kWholeText}}), {false, true, false}},
      {"through tabs and a mark",
       u"\txﾞy",
       Table({{u"x", u"ｶ", kWholeText}}),
       {false, false, true, false}},
      {"written then replaced",
       u"xー",
       Table({{u"x", u"ー", kWholeText}, {u"ー", u"｜", kCell}}),
       {true, true}},
      // More outputs than are looked for at once.
      {"many outputs", u"ー︱、︑", UnicodePreset(), {true, false, true, false}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const LayoutResult result = BuildVerticalLayout(c.text, {2, c.table, {}});
    const auto& layout = std::get<VerticalLayout>(result);
    ASSERT_EQ(layout.ColumnCount(), 1u);
    ASSERT_EQ(layout.RowCount(), c.made.size());
    for (std::size_t row = 0; row < c.made.size(); ++row) {
      EXPECT_EQ(layout.CellAt(row, 0).text, layout.Cell(row, 0));
      EXPECT_EQ(layout.CellAt(row, 0).fromEntry, c.made[row]) << row;
    }
  }
}

// Built again in the memory of the layout before, whatever that held, a
// layout is the one a fresh build gives.
TEST(VerticalLayoutTest, RebuiltLayoutsAreFreshOnes) {
  SwapTable table;
  table.Append({u"ー", u"｜", kCell});
  table.Append({u"...", u"…", kWholeText});
  const std::u16string long_(300, u'長');
  const std::u16string texts[] = {
      u"縦書き\r\nラーメン...", long_ + u"\r\n" + long_, u"a😀b\r\n\tc", u"", u"短い",
      u"a\r\n\r\nb\r\nー😀ー"};
  for (const SwapTable& tableUsed : {SwapTable(), table}) {
    LayoutResult previous = BuildVerticalLayout(u"最初", {2, tableUsed, {}});
    for (const std::u16string& text : texts) {
      LayoutResult rebuilt = RebuildVerticalLayout(std::move(std::get<VerticalLayout>(previous)),
                                                   text, {2, tableUsed, LayoutSettings{}});
      const LayoutResult freshResult = BuildVerticalLayout(text, {2, tableUsed, {}});
      const auto& fresh = std::get<VerticalLayout>(freshResult);
      const auto& got = std::get<VerticalLayout>(rebuilt);
      EXPECT_EQ(got.Text(), fresh.Text());
      EXPECT_EQ(got.RowCount(), fresh.RowCount());
      EXPECT_EQ(got.ColumnCount(), fresh.ColumnCount());
      previous = std::move(rebuilt);
    }
  }
}

// A text of `count` pieces drawn at random: characters, the kinds of
// break, tabs, marks that kinsoku and the full-width mapping look at, and
// with `pairs` surrogates, which keep cells from being replaced in place.
std::u16string RandomPieces(std::mt19937& random, std::size_t count, bool pairs) {
  static const std::u16string pieces[] = {
      u"あ",  u"ab", u"\r\n", u"\r\n",  u"\r", u"\n", u"\t", u"ー",
      u"「",  u"。", u"ｶ",    u"ﾞ",     u"x",  u"ア", u"  ", u"長い行の中身です",
      u"…ab", u"｜", u"😀",    u"\xD83D"};
  std::u16string text;
  for (std::size_t i = 0; i < count; ++i) {
    text += pieces[random() % (std::size(pieces) - (pairs ? 0 : 2))];
  }
  return text;
}

// The layout `got`, brought up to date from `previous` for `text`, is the
// one a fresh build gives; the columns it says it kept are unchanged.
// Counts in `kept` the updates that kept columns.
void ExpectFreshLayout(const VerticalLayout& previous, const VerticalLayout& got,
                       const std::u16string& text, const SwapTable& table,
                       const LayoutSettings& layoutSettings, int& kept) {
  const LayoutResult fresh = BuildVerticalLayout(text, {2, table, layoutSettings});
  const auto& want = std::get<VerticalLayout>(fresh);
  ASSERT_EQ(got.Text(), want.Text());
  ASSERT_EQ(got.RowCount(), want.RowCount());
  ASSERT_EQ(got.ColumnCount(), want.ColumnCount());
  for (std::size_t line = 0; line < 60; ++line) {
    ASSERT_EQ(got.ColumnsBeforeLine(line), want.ColumnsBeforeLine(line)) << line;
  }
  for (std::size_t column = 0; column < got.ColumnCount(); ++column) {
    for (std::size_t row = 0; row < got.RowCount(); ++row) {
      ASSERT_EQ(got.CellAt(row, column).fromEntry, want.CellAt(row, column).fromEntry)
          << row << " " << column;
    }
  }
  const VerticalLayout::Change& change = got.LastChange();
  if (change.whole) return;
  ++kept;
  ASSERT_EQ(previous.ColumnCount(), got.ColumnCount());
  const std::size_t rows = std::max(previous.RowCount(), got.RowCount());
  for (std::size_t column = 0; column < got.ColumnCount(); ++column) {
    if (column >= change.firstColumn && column < change.firstColumn + change.columns) continue;
    for (std::size_t row = 0; row < rows; ++row) {
      ASSERT_EQ(got.Cell(row, column), previous.Cell(row, column)) << row << " " << column;
    }
  }
}

// Brought up to date after each of many random edits, from the text whole
// or edited in place, a layout is the one a fresh build of the edited text
// gives; the columns it says it kept are
// the same.
TEST(VerticalLayoutTest, UpdatedLayoutsAreFreshOnes) {
  const SwapTable tables[] = {
      {},
      Table({{u"ー", u"｜", kCell}, {u"ab", u"Ｘ", kWholeText}, {u"\t", u"タブ", kWholeText}}),
      // Laid out whole each time: a From over a line break.
      Table({{u"\r\nx", u"y", kWholeText}}),
      // A removed x joins a lone CR to a lone LF; replaced cells of two units.
      Table({{u"x", u"", kWholeText}, {u"あ", u"ab", kCell}}),
  };
  const LayoutSettings settings[] = {
      {}, {5, Kinsoku::kHang, 1}, {3, Kinsoku::kPushOut, 0}, {0, Kinsoku::kNone, 2}};
  std::mt19937 random(20250517);
  for (const bool pairs : {false, true}) {
    for (const SwapTable& table : tables) {
      for (const LayoutSettings& layoutSettings : settings) {
        std::u16string text = RandomPieces(random, 30, pairs);
        // The same text edited in place, its gap moved about by reads.
        GapText edited(text);
        LayoutResult result = RebuildVerticalLayout({}, text, {2, table, layoutSettings});
        int kept = 0;
        for (int step = 0; step < 80; ++step) {
          const std::size_t offset = random() % (text.size() + 1);
          const std::size_t removed =
              std::min<std::size_t>(random() % (step % 10 == 0 ? 40 : 4), text.size() - offset);
          const std::u16string added = RandomPieces(random, random() % 3, pairs);
          const std::u16string before = text;
          text.replace(offset, removed, added);
          edited.Replace(offset, removed, added);
          const std::size_t from = random() % (text.size() + 1);
          const std::size_t to = from + random() % (text.size() - from + 1);
          ASSERT_EQ(edited.Span(from, to), std::u16string_view(text).substr(from, to - from));
          const VerticalLayout previous = std::get<VerticalLayout>(result);
          // Every third edit as a text box of the system's tells it: found
          // by comparing the texts.
          const TextEdit edit =
              step % 3 == 2 ? EditBetween(before, text) : TextEdit{offset, removed, added.size()};
          result = step % 2 == 0 ? UpdateVerticalLayout(std::move(std::get<VerticalLayout>(result)),
                                                        text, edit, {2, table, layoutSettings})
                                 : UpdateVerticalLayout(std::move(std::get<VerticalLayout>(result)),
                                                        edited, edit, {2, table, layoutSettings});
          ASSERT_NO_FATAL_FAILURE(ExpectFreshLayout(previous, std::get<VerticalLayout>(result),
                                                    text, table, layoutSettings, kept))
              << "step " << step;
        }
        // Most edits keep the columns around them.
        if (&table != &tables[2]) {
          EXPECT_GT(kept, 20);
        }
      }
    }
  }
}

TEST(VerticalLayoutTest, AnEditFoundByComparingPartsNoPairAndNoLineBreak) {
  const struct {
    std::u16string_view before, after;
    TextEdit edit;
  } cases[] = {
      {u"abc", u"abXc", {2, 0, 1}},
      {u"a\r\nb", u"a\r\n\r\nb", {3, 0, 2}},
      {u"a\rb", u"a\r\nb", {1, 1, 2}},
      {u"x\U0001F600", u"x\U0001F601", {1, 2, 2}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(EditBetween(c.before, c.after), c.edit) << c.after.size();
  }
}

// The window finds the caret's column through the layout's count of the
// columns before each line: it must be what cutting each line alone gives.
TEST(VerticalLayoutTest, ColumnsBeforeEachLineAreThoseOfTheLinesCutAlone) {
  std::vector<std::u16string> lines = {u"",
                                       u"あいうえおかきくけこさしすせそ",
                                       u"a\tb",
                                       u"「かぎ」。、ー",
                                       std::u16string(23, u'x'),
                                       u"😀😀😀😀😀"};
  std::u16string text;
  for (std::size_t i = 0; i < lines.size(); ++i) text += (i == 0 ? u"" : u"\r\n") + lines[i];
  const LayoutSettings settings[] = {{4, Kinsoku::kNone, 0},
                                     {5, Kinsoku::kHang, 2},
                                     {3, Kinsoku::kPushOut, 1},
                                     {0, Kinsoku::kNone, 1}};
  for (const LayoutSettings& layout : settings) {
    const LayoutResult result = BuildVerticalLayout(text, {4, SwapTable(), layout});
    const auto& built = std::get<VerticalLayout>(result);
    std::size_t before = 0;
    for (std::size_t line = 0; line < lines.size() + 2; ++line) {
      EXPECT_EQ(built.ColumnsBeforeLine(line), before) << layout.columnLength << " " << line;
      before +=
          line < lines.size() && layout.columnLength != 0
              ? std::max<std::size_t>(
                    1, SegmentLine(std::get<std::u16string>(PrepareText(lines[line], {4, {}, {}})),
                                   layout.columnLength, layout.kinsoku)
                           .size())
              : 1;
    }
  }
}

// A cell replaced by a lone high surrogate, above a lone low one: the two
// units now read as a pair, yet each stays a cell of its own.
TEST(VerticalLayoutTest, ReplacedCellBesideALoneSurrogateStaysOneCell) {
  const std::u16string lowSurrogate(1, char16_t{0xDF00});
  const LayoutResult result =
      BuildVerticalLayout(u"表" + lowSurrogate, {0, Table({{u"表", u"\xD83D", kCell}}), {}});
  const auto& layout = std::get<VerticalLayout>(result);
  ASSERT_EQ(layout.RowCount(), 2U);
  EXPECT_EQ(layout.Cell(0, 0), u"\xD83D");
  EXPECT_EQ(layout.Cell(1, 0), lowSurrogate);
  EXPECT_EQ(layout.Text(), u"\xD83D\r\n" + lowSurrogate);
}

TEST(VerticalLayoutTest, CellsAndDimensions) {
  const LayoutResult result = BuildVerticalLayout(u"ab\r\nc", {4, {}, {}});
  const auto& layout = std::get<VerticalLayout>(result);
  EXPECT_EQ(layout.RowCount(), 2u);
  EXPECT_EQ(layout.ColumnCount(), 2u);
  EXPECT_EQ(layout.Cell(0, 0), u"ｃ");
  EXPECT_EQ(layout.Cell(0, 1), u"ａ");
  EXPECT_EQ(layout.Cell(1, 0), u"\u3000");
  EXPECT_EQ(layout.Cell(1, 1), u"ｂ");
}

TEST(VerticalLayoutTest, RefusesMoreCellsThanTheBound) {
  // Three lines, the longest four characters: 12 cells.
  const std::u16string input = u"abcd\r\nab\r\na";
  EXPECT_TRUE(std::holds_alternative<VerticalLayout>(BuildVerticalLayout(input, {4, {}, {}}, 12)));
  const LayoutResult refused = BuildVerticalLayout(input, {4, {}, {}}, 11);
  ASSERT_TRUE(std::holds_alternative<LayoutTooLarge>(refused));
  const auto& tooLarge = std::get<LayoutTooLarge>(refused);
  EXPECT_EQ(tooLarge.lines, 3u);
  EXPECT_EQ(tooLarge.longestLine, 4u);
  EXPECT_EQ(tooLarge.bound, 11u);
}

// The whole text is produced by a copy in blocks of eight lines by eight
// rows when every cell is one unit; it must agree cell for cell with the
// layout's own cells, across the blocks' edges, with and without
// replacements.
TEST(VerticalLayoutTest, TextAgreesWithCellsOnLargeTexts) {
  std::mt19937 random(7);
  const std::u16string alphabet = u"あいうえおかきくけこーabc ｱ\t";
  for (const bool withReplacements : {false, true}) {
    std::u16string input;
    for (int line = 0; line < 150; ++line) {
      if (line != 0) input += u"\r\n";
      const int length = static_cast<int>(random() % 140);
      for (int i = 0; i < length; ++i) input += alphabet[random() % alphabet.size()];
    }
    const SwapTable table =
        withReplacements
            ? Table({{u"ー", u"｜", kCell}, {u"あ", u"ア", kCell}, {u"ｂ", u"ｃ", kCell}})
            : SwapTable{};
    const LayoutResult result = BuildVerticalLayout(input, {2, table, {}});
    const auto& layout = std::get<VerticalLayout>(result);
    std::u16string expected;
    for (std::size_t row = 0; row < layout.RowCount(); ++row) {
      if (row != 0) expected += u"\r\n";
      for (std::size_t column = 0; column < layout.ColumnCount(); ++column) {
        expected += layout.Cell(row, column);
      }
    }
    EXPECT_EQ(layout.ColumnCount(), 150u);
    EXPECT_EQ(layout.Text(), expected) << "with replacements: " << withReplacements;
  }
}

using testing_support::Lines;

struct PiecesCase {
  const char* name;
  std::u16string input;
  SwapTable table;
};

// Lines of the given lengths, each cell telling its line and row apart.
std::u16string LinesOfLengths(std::initializer_list<std::size_t> lengths) {
  std::u16string text;
  char16_t line = u'a';
  for (const std::size_t length : lengths) {
    if (!text.empty() || line != u'a') text += u"\r\n";
    for (std::size_t row = 0; row < length; ++row) {
      text += row % 5 == 0 ? u'x' : static_cast<char16_t>(line + row % 7);
    }
    ++line;
  }
  return text;
}

class TextPiecesTest : public testing::TestWithParam<PiecesCase> {};

// The pieces, joined, are the text; the rows read by the plain row-by-row
// path give it independently of the block copy.
TEST_P(TextPiecesTest, JoinToTheTextAndToTheRows) {
  const LayoutResult result = BuildVerticalLayout(GetParam().input, {4, GetParam().table, {}});
  const auto& layout = std::get<VerticalLayout>(result);
  std::u16string joined;
  std::size_t pieces = 0;
  EXPECT_TRUE(layout.ForEachTextPiece([&](std::u16string_view piece) {
    joined += piece;
    ++pieces;
    return true;
  }));
  std::u16string rows;
  for (std::size_t row = 0; row < layout.RowCount(); ++row) {
    if (row != 0) rows += u"\r\n";
    layout.AppendRow(row, rows);
  }
  EXPECT_EQ(joined, rows);
  EXPECT_EQ(joined, layout.Text());
  EXPECT_EQ(pieces == 0, layout.RowCount() == 0);
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, TextPiecesTest,
    testing::Values(
        PiecesCase{"Empty", u"", {}}, PiecesCase{"OneCell", u"a", {}},
        PiecesCase{"ShortLines", u"ab\r\nc\r\n\r\ndef", {}},
        PiecesCase{"ReplacedInTheGrid", u"ラーメン\r\naー", Table({{u"ー", u"｜", kCell}})},
        PiecesCase{"ReplacedCellNotReplacedAgain", u"ab",
                   Table({{u"ｂ", u"ｃ", kCell}, {u"ａ", u"ｂ", kCell}})},
        PiecesCase{"TwoUnitCell", u"ab\r\ncd", Table({{u"ｄ", u"xy", kCell}})},
        PiecesCase{"SurrogatePairs", u"😀a\r\nb🍣😀", {}},
        // Rows wider than a piece: one row or a few per piece.
        PiecesCase{"ManyShortLines", Lines(70000, u"あい") + u"\r\nうえお", {}},
        PiecesCase{"ManyLinesWithAPair", Lines(70000, u"あ😀"), {}},
        PiecesCase{"ManyLinesReplaced", Lines(30000, u"aー"), Table({{u"ー", u"｜", kCell}})},
        // Narrow rows: many rows per piece.
        PiecesCase{"OneLongLine", std::u16string(300000, u'x'), {}},
        PiecesCase{"LongLinesWithPairs", Lines(3, std::u16string(100000, u'x') + u"😀"), {}},
        // Groups of eight lines whose ends fall around the bands of rows.
        PiecesCase{"LinesAcrossRowBands",
                   LinesOfLengths({1023, 1024, 1025, 2049, 7, 1032, 1016, 2048, 1, 3000, 1024, 0,
                                   1031, 2047}),
                   Table({{u"ｘ", u"ｙ", kCell}})}),
    testing_support::CaseName());

// Segments and gaps are columns of their own: the block-copied rows, the pieces
// and the plain rows still agree, replacements included.
TEST(VerticalLayoutTest, PiecesAgreeUnderColumnsAndGaps) {
  const std::u16string input =
      Lines(40, u"あいうえおかきくけこーabc") + u"\r\n" + std::u16string(150, u'ー') + u"\r\n\r\nx";
  for (const std::size_t length : {0u, 1u, 7u, 9u}) {
    for (const std::uint8_t gap : {0, 1, 2}) {
      LayoutSettings settings;
      settings.columnLength = length;
      settings.columnGap = gap;
      const LayoutResult result =
          BuildVerticalLayout(input, {4, Table({{u"ー", u"｜", kCell}}), settings});
      const auto& layout = std::get<VerticalLayout>(result);
      std::u16string joined;
      layout.ForEachTextPiece([&joined](std::u16string_view piece) {
        joined += piece;
        return true;
      });
      std::u16string rows;
      for (std::size_t row = 0; row < layout.RowCount(); ++row) {
        if (row != 0) rows += u"\r\n";
        layout.AppendRow(row, rows);
      }
      EXPECT_EQ(joined, rows) << length << " " << int{gap};
      EXPECT_EQ(layout.Text(), rows) << length << " " << int{gap};
    }
  }
}

// Written in code page 932 as the grid is filled, the text is the bytes
// that encoding it gives, across the bands of rows; a cell of one byte, or
// one code page 932 cannot hold, leaves the layout to be encoded as text.
TEST(VerticalLayoutTest, Cp932PiecesAreTheEncodedText) {
  std::mt19937 random(3);
  std::u16string large;
  for (int line = 0; line < 40; ++line) {
    large += (line == 0 ? u"" : u"\r\n") + std::u16string(random() % 9000, u"あ漢ab"[line % 4]);
  }
  const struct {
    std::u16string input;
    SwapTable table;
    bool twoBytes;
  } cases[] = {
      {large, {}, true},
      {u"縦書き\r\nラーメン", Table({{u"ー", u"｜", kCell}}), true},
      {u"縦書き\r\nラーメン", Table({{u"ー", u"|", kCell}}), false},
      {u"a©b", {}, false},
  };
  for (const auto& c : cases) {
    LayoutResult result = BuildVerticalLayout(c.input, {4, c.table, {}});
    auto& layout = std::get<VerticalLayout>(result);
    const std::string encoded = Encode(layout.Text(), Charset::Cp932).bytes;
    std::string written;
    const Cp932Pieces ended = ForEachCp932Piece(layout, [&](std::string_view bytes) {
      written += bytes;
      return true;
    });
    EXPECT_EQ(ended, c.twoBytes ? Cp932Pieces::kWritten : Cp932Pieces::kNotTwoBytes);
    EXPECT_EQ(written.size(), c.twoBytes ? encoded.size() : 0U);
    EXPECT_TRUE(!c.twoBytes || written == encoded);
  }
}

TEST(VerticalLayoutTest, PiecesStopWhenTheSinkSaysSo) {
  // Rows far wider than a piece, so that a piece holds its least rows.
  const LayoutResult result =
      BuildVerticalLayout(Lines(70000, std::u16string(20, u'あ')), {4, {}, {}});
  const auto& layout = std::get<VerticalLayout>(result);
  int pieces = 0;
  EXPECT_FALSE(layout.ForEachTextPiece([&pieces](std::u16string_view) { return ++pieces < 2; }));
  EXPECT_EQ(pieces, 2);
}

}  // namespace
}  // namespace mirotabe
