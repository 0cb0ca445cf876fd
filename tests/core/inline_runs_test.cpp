#include "core/inline_runs.h"

#include <gtest/gtest.h>

#include <string>
#include <variant>

#include "core/drawing_plan.h"
#include "tests/support/case_name.h"

namespace mirotabe {
namespace {

constexpr Typesetting Set(std::uint8_t tcy, LatinSetting latin) {
  Typesetting typesetting;
  typesetting.tcyDigits = tcy;
  typesetting.latin = latin;
  return typesetting;
}
constexpr LatinSetting kCells = LatinSetting::kCells;
constexpr LatinSetting kSideways = LatinSetting::kSideways;

// The runs of units [from, to) of `text` written out: 縦中横 in [ ], a
// sideways run in < >, a cell as it stands.
std::u16string RunsOf(std::u16string_view text, std::size_t from, std::size_t to,
                      const Typesetting& typesetting) {
  std::u16string written;
  ForEachInlineRun(text, from, to, typesetting, [&](const InlineRun& run) {
    const std::u16string_view units = text.substr(run.start, run.end - run.start);
    switch (run.kind) {
      case RunKind::kCell:
        written += units;
        break;
      case RunKind::kTcy:
        written += u"[" + std::u16string(units) + u"]";
        break;
      case RunKind::kSideways:
        written += u"<" + std::u16string(units) + u">";
        break;
    }
  });
  return written;
}

struct RunCase {
  const char* name;
  std::u16string text;
  Typesetting typesetting;
  std::u16string runs;
  // The units looked at, the rest of the text lying around them; to 0: to
  // the end.
  std::size_t from = 0;
  std::size_t to = 0;
};

class InlineRunTest : public testing::TestWithParam<RunCase> {};

TEST_P(InlineRunTest, SetsTheRunsAsABookDoes) {
  const RunCase& c = GetParam();
  EXPECT_EQ(RunsOf(c.text, c.from, c.to == 0 ? c.text.size() : c.to, c.typesetting), c.runs);
}

INSTANTIATE_TEST_SUITE_P(
    Runs, InlineRunTest,
    testing::Values(
        RunCase{"OneDigit", u"第3章", Set(2, kCells), u"第[3]章"},
        RunCase{"TwoDigits", u"12月24日", Set(2, kCells), u"[12]月[24]日"},
        RunCase{"ThreeDigitsUnderTwoTakeACellEach", u"500円", Set(2, kCells), u"500円"},
        RunCase{"ThreeDigitsUnderThree", u"500円", Set(3, kCells), u"[500]円"},
        RunCase{"FourDigitsAreLatin", u"2023年", Set(3, kSideways), u"<2023>年"},
        RunCase{"DigitsAtTheLineEnds", u"12", Set(2, kCells), u"[12]"},
        RunCase{"ANumberWithItsPointIsOneWord", u"3.14や", Set(2, kSideways), u"<3.14>や"},
        RunCase{"DigitsInsideAWord", u"A4判", Set(2, kSideways), u"<A4>判"},
        RunCase{"DigitsInsideAWordInCells", u"A4判", Set(2, kCells), u"A4判"},
        RunCase{"Marks", u"本当!?嘘!!", Set(2, kCells), u"本当[!?]嘘[!!]"},
        RunCase{"MarksNeedTwo", u"本当!?", Set(1, kSideways), u"本当<!?>"},
        RunCase{"ThreeMarksAreLatin", u"え!!!", Set(3, kSideways), u"え<!!!>"},
        RunCase{"MarksAfterAWord", u"Hello!?", Set(2, kSideways), u"<Hello!?>"},
        RunCase{"SpacesInsideARunAreItsOwn", u"pkcon install x", Set(2, kSideways),
                u"<pkcon install x>"},
        RunCase{"SpacesAtItsEndsTakeCells", u"は 12 と", Set(2, kSideways), u"は [12] と"},
        RunCase{"FullWidthStaysInCells", u"ＡＢ１２", Set(2, kSideways), u"ＡＢ１２"},
        RunCase{"OffSetsEveryCharacterInACell", u"12ab", Set(0, kCells), u"12ab"},
        RunCase{"APairIsOneCell", u"😀12", Set(2, kCells), u"😀[12]"},
        // A column cut from a line: the run is the line's.
        RunCase{"AColumnOfAWordReadsItsLine", u"ab cd ef", Set(2, kSideways), u"<cd>", 3, 5},
        RunCase{"DigitsCutFromALongerNumber", u"x123", Set(3, kCells), u"123", 1, 4},
        RunCase{"DigitsCutFromALongerNumberSideways", u"x12", Set(3, kSideways), u"<12>", 1, 3}),
    testing_support::CaseName());

VerticalLayout TypesetLayout(std::u16string_view text, std::size_t columnLength,
                             const Typesetting& typesetting, Kinsoku kinsoku = Kinsoku::kPushOut) {
  LayoutSettings settings;
  settings.columnLength = columnLength;
  settings.kinsoku = kinsoku;
  settings.typesetting = typesetting;
  return std::get<VerticalLayout>(BuildVerticalLayout(text, {4, SwapTable(), settings}));
}

// The sheet's column, in reading order, that `cell` stands in.
std::size_t ColumnOf(const SheetPlan& sheet, const PlannedCell& cell) {
  const auto at = std::find(sheet.columnLefts.begin(), sheet.columnLefts.end(), cell.left);
  return static_cast<std::size_t>(at - sheet.columnLefts.begin());
}

// The columns of a typeset layout as the plan of A6 pages sets them,
// each written as RunsOf writes runs, joined by |.
std::u16string PlannedColumns(const VerticalLayout& layout, const PageSetup& setup) {
  const DrawingPlan plan = DrawingPlan::Pages(layout, {}, setup);
  std::u16string columns;
  for (std::size_t n = 0; n < plan.SheetCount(); ++n) {
    const SheetPlan sheet = plan.PlanSheet(n);
    std::size_t column = sheet.columns.size();
    plan.ForEachCell(sheet, [&](const PlannedCell& cell) {
      const std::size_t k = ColumnOf(sheet, cell);
      if (k != column && !columns.empty()) columns += u"|";
      column = k;
      const std::u16string text(cell.text);
      columns += cell.item == CellItem::kTcy        ? u"[" + text + u"]"
                 : cell.item == CellItem::kSideways ? u"<" + text + u">"
                                                    : text;
    });
  }
  return columns;
}

struct FitCase {
  const char* name;
  std::u16string text;
  std::size_t columnLength;
  Typesetting typesetting;
  std::u16string columns;
};

class TypesetColumnTest : public testing::TestWithParam<FitCase> {};

// A column holds what fits by advance: 縦中横 takes one cell, Latin half a
// cell a letter (the half-width forms' advances); words stay whole, and a
// run longer than a column is cut at its end.
TEST_P(TypesetColumnTest, HoldsWhatFitsByAdvance) {
  const FitCase& c = GetParam();
  PageSetup setup{true, Paper::kA6};
  setup.columnLength = c.columnLength;
  EXPECT_EQ(PlannedColumns(TypesetLayout(c.text, c.columnLength, c.typesetting), setup), c.columns);
}

INSTANTIATE_TEST_SUITE_P(
    Columns, TypesetColumnTest,
    testing::Values(
        FitCase{"TcyTakesOneCell", u"あ12いうえお", 5, Set(2, kCells), u"あ[12]いうえ|お"},
        FitCase{"TcyEndsAColumn", u"あいうえ12お", 5, Set(2, kCells), u"あいうえ[12]|お"},
        FitCase{"TcyStartsAColumn", u"あいうえお12か", 5, Set(2, kCells), u"あいうえお|[12]か"},
        FitCase{"NumbersStayWhole", u"あいう123え", 5, Set(2, kCells), u"あいう|１２３え"},
        FitCase{"TenLettersFillFiveCells", u"abcdefghij", 5, Set(2, kSideways), u"<abcdefghij>"},
        FitCase{"ARunLongerThanAColumnIsCut", u"abcdefghijk", 5, Set(2, kSideways),
                u"<abcdefghij>|<k>"},
        FitCase{"WordsStayWholeAndTheSpaceAtTheCutVanishes", u"ab cd ef gh", 5, Set(2, kSideways),
                u"<ab cd ef>|<gh>"},
        // A quarter em stands between the word and the kana on each side.
        FitCase{"LatinBesideJapanese", u"これはbookです", 5, Set(2, kSideways),
                u"これは|<book>です"},
        FitCase{"LatinBesideJapaneseFits", u"これbookです", 5, Set(2, kSideways),
                u"これ<book>|です"},
        FitCase{"InCellsAsBefore", u"これはbookです", 5, Set(2, kCells), u"これは|ｂｏｏｋで|す"},
        // A typed space beside a word is half a cell, as the word's own.
        FitCase{"ASpaceBesideLatinKeepsItsWidth", u"あいう abc えお", 5, Set(2, kSideways),
                u"あいう<abc>|えお"}),
    testing_support::CaseName());

// A full column that falls short of its length is spread to its end, its
// word spaces first; a column that ends a paragraph, and 原稿用紙, keep
// their natural spacing.
TEST(TypesetColumnTest, FullColumnsAreSpreadToTheirEnd) {
  struct Case {
    const char* name;
    std::u16string text;
    Paper paper;
    // The end of each column's last cell, in cells from its top.
    std::vector<double> ends;
    // What each space of the first column's sideways run gains.
    double wordSpacing;
  };
  const Case cases[] = {
      // book does not fit after あいうえ, which are spread to five cells.
      {"CharactersApart", u"あいうえbookは", Paper::kA6, {5, 3.25}, 0},
      {"WordSpacesFirst", u"ab cd ef gh", Paper::kA6, {5, 1}, 0.5},
      {"WordSpacesThenCharacters", u"あab cd efghij", Paper::kA6, {5, 3}, 0.5},
      {"SpacesBesideLatinKeepTheirWidth", u"あ ab は", Paper::kA6, {4}, 0},
      // A quarter em between Latin and kanji or kana, none at a column's
      // ends, nor beside punctuation, 縦中横 or a space.
      {"AQuarterEmBesideKanjiAndKana", u"漢ab字", Paper::kA6, {3.5}, 0},
      {"NoneBesidePunctuation", u"「ab」", Paper::kA6, {3}, 0},
      {"NoneAtTheColumnsEnds", u"abcdefghij字", Paper::kA6, {5, 1}, 0},
      {"NoneBesideTcy", u"あ12字", Paper::kA6, {3}, 0},
      // 。」 and 」「 each share a blank half.
      {"AdjacentMarksStandNearer", u"あ。」「い", Paper::kA6, {4}, 0},
      {"GenkouKeepsAMarkToASquare", u"あ。」「い", Paper::kGenkou, {5}, 0},
      {"GenkouStaysRagged", std::u16string(17, u'あ') + u"abcdefgh", Paper::kGenkou, {17, 4}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PageSetup setup{true, c.paper};
    if (c.paper != Paper::kGenkou) setup.columnLength = 5;
    const std::size_t length = c.paper == Paper::kGenkou ? kGenkouSquares : 5;
    const VerticalLayout layout = TypesetLayout(c.text, length, Set(2, kSideways));
    const DrawingPlan plan = DrawingPlan::Pages(layout, {}, setup);
    const SheetPlan sheet = plan.PlanSheet(0);
    std::vector<double> ends(sheet.columns.size(), 0);
    double wordSpacing = 0;
    plan.ForEachCell(sheet, [&](const PlannedCell& cell) {
      const std::size_t k = ColumnOf(sheet, cell);
      ends[k] = (cell.top - sheet.top + cell.extent) / sheet.cellHeight;
      if (k == 0 && cell.item == CellItem::kSideways) wordSpacing = cell.wordSpacing;
    });
    ASSERT_EQ(ends.size(), c.ends.size());
    for (std::size_t k = 0; k < ends.size(); ++k) EXPECT_NEAR(ends[k], c.ends[k], 1e-9) << k;
    EXPECT_NEAR(wordSpacing / sheet.cellHeight, c.wordSpacing, 1e-9);
  }
}

}  // namespace
}  // namespace mirotabe
