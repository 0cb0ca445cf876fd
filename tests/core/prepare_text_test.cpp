#include "core/prepare_text.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "core/fullwidth.h"
#include "tests/support/case_name.h"

namespace mirotabe {
namespace {

using enum SwapKind;

// The text of a preparation, or "(too long: UNITS > BOUND)".
std::u16string Text(const PreparedText& prepared) {
  if (const auto* text = std::get_if<std::u16string>(&prepared)) return *text;
  const auto& tooLong = std::get<TextTooLong>(prepared);
  const std::string shown =
      "(too long: " + std::to_string(tooLong.units) + " > " + std::to_string(tooLong.bound) + ")";
  return std::u16string(shown.begin(), shown.end());
}

// Long texts are searched eight units at a time: occurrences must be found
// at every offset, across block edges, and near-misses skipped.
TEST(PrepareTextTest, ReplacesAtEveryOffsetOfALongText) {
  SwapTable table;
  table.Append({u"ab", u"X", kWholeText});
  for (std::size_t offset = 0; offset < 20; ++offset) {
    const std::u16string head(offset, u'x');
    const std::u16string tail(17, u'y');
    const std::u16string text = head + u"ab" + tail + u"a" + tail + u"ab";
    EXPECT_EQ(Text(ApplyWholeTextReplacements(text, table)),
              head + u"X" + tail + u"a" + tail + u"X")
        << offset;
    EXPECT_EQ(Text(ExpandTabs(head + u"\t" + tail + u"\t", 2)), head + u"  " + tail + u"  ")
        << offset;
  }
}

// The text is rewritten in its own memory: replacements that shorten it,
// keep its length or lengthen it, matches next to each other and at both
// ends, and candidates that overlap.
TEST(PrepareTextTest, ReplacementsOfEveryLength) {
  struct Case {
    std::u16string_view from, to, text, expected;
  };
  const Case cases[] = {
      {u"ab", u"", u"abxabab", u"x"},
      {u"ab", u"Z", u"abxabab", u"ZxZZ"},
      {u"ab", u"YZ", u"abxabab", u"YZxYZYZ"},
      {u"ab", u"VWXYZ", u"abxabab", u"VWXYZxVWXYZVWXYZ"},
      {u"aa", u"b", u"aaaaa", u"bba"},
      {u"aa", u"bbb", u"aaaaa", u"bbbbbba"},
      {u"a", u"aa", u"aa", u"aaaa"},
      {u"ab", u"XYZ", u"none here", u"none here"},
      {u"ab", u"XYZ", u"", u""},
  };
  for (const Case& c : cases) {
    SwapTable table;
    table.Append({std::u16string(c.from), std::u16string(c.to), kWholeText});
    EXPECT_EQ(Text(ApplyWholeTextReplacements(std::u16string(c.text), table)), c.expected)
        << std::string(c.from.begin(), c.from.end()) << " -> "
        << std::string(c.to.begin(), c.to.end());
  }
  EXPECT_EQ(Text(ExpandTabs(u"\ta\t\tb\t", 0)), u"ab");
  EXPECT_EQ(Text(ExpandTabs(u"\ta\t\tb\t", 3)), u"   a      b   ");
}

// Preparing into a buffer maps the text as it copies it when it can; the
// text must be the one PrepareText makes, whatever the buffer held before,
// and tabs and whole-text entries must still come before the mapping.
TEST(PrepareTextTest, IntoABufferGivesTheSameText) {
  SwapTable wholeText;
  wholeText.Append({u"ab", u"ｶ", kWholeText});
  SwapTable cellsOnly;
  cellsOnly.Append({u"ａ", u"ｂ", kCell});
  struct Case {
    const char* name;
    std::u16string_view input;
    std::uint8_t tabSpace;
    const SwapTable* table;
    std::u16string_view expected;
  };
  const Case cases[] = {
      {"mapped", u"a b\r\nｶﾞ", 4, &cellsOnly, u"ａ　ｂ\r\nガ"},
      {"tab removed joins a mark", u"ｶ\tﾞ", 0, &cellsOnly, u"ガ"},
      {"tab widened", u"x\ty", 2, &cellsOnly, u"ｘ　　ｙ"},
      {"entry makes a kana that joins a mark", u"abﾞ", 4, &wholeText, u"ガ"},
      {"past a block of eight", std::u16string_view(u"ｱｲｳ abc。ﾞ\r\n漢字ｰ"), 4, &cellsOnly,
       u"アイウ　ａｂｃ。゛\r\n漢字ー"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (const std::size_t held : {0, 1, 200}) {
      std::u16string buffer(held, u'#');
      const std::u16string prepared = std::get<std::u16string>(
          PrepareTextInto(c.input, std::move(buffer), 8, {c.tabSpace, *c.table, {}}));
      EXPECT_EQ(prepared, c.expected) << "held " << held;
      EXPECT_GE(prepared.capacity(), prepared.size() + 8);
    }
    EXPECT_EQ(Text(PrepareText(c.input, {c.tabSpace, *c.table, {}})), c.expected);
  }
}

// A text with a mark on each unit: whether an entry wrote it.
struct MarkedText {
  std::u16string text;
  std::vector<bool> written;

  void Append(std::u16string_view units, bool byEntry) {
    text += units;
    written.insert(written.end(), units.size(), byEntry);
  }
};

// The steps of PrepareText one unit at a time, each unit keeping its mark;
// a kana and the mark composed with it keep the kana's.
MarkedText PrepareMarked(std::u16string_view input, std::uint8_t tabSpace, const SwapTable& table) {
  MarkedText text{std::u16string(input), std::vector<bool>(input.size(), false)};
  const auto rewrite = [&](std::u16string_view from, std::u16string_view to, bool byEntry) {
    MarkedText next;
    for (std::size_t at = 0; at < text.text.size();) {
      if (text.text.compare(at, from.size(), from) == 0) {
        next.Append(to, byEntry);
        at += from.size();
      } else {
        next.Append(text.text.substr(at, 1), text.written[at]);
        ++at;
      }
    }
    text = std::move(next);
  };
  for (const SwapEntry& entry : table) rewrite(entry.from, entry.to, true);
  rewrite(u"\t", std::u16string(tabSpace, u' '), false);
  MarkedText mapped;
  for (std::size_t at = 0; at < text.text.size();) {
    const std::u16string pair = ToFullWidth(text.text.substr(at, 2));
    const bool composed = pair.size() == 1 && at + 1 < text.text.size();
    mapped.Append(composed ? pair : ToFullWidth(text.text.substr(at, 1)), text.written[at]);
    at += composed ? 2 : 1;
  }
  return mapped;
}

// Random texts under random whole-text entries that shorten, keep and
// lengthen the text, write tabs and marks, and match inside what earlier
// entries wrote: each unit is marked as the entries' exactly where the
// steps done one unit at a time mark it.
TEST(PrepareTextTest, TheUnitsEntriesWroteAreKnownThroughEveryStep) {
  const std::u16string_view alphabet[] = {u"a", u"b", u".", u"ｶ", u"ﾞ", u"ﾟ", u"ﾊ", u"\t", u"あ"};
  const std::u16string_view froms[] = {u"ab", u"a", u"..", u"ｶ", u"ﾞ", u"Qa", u"bb"};
  const std::u16string_view tos[] = {u"", u"Q", u"QRS", u"ﾞ", u"\t", u"ｶﾞ", u"ﾊ", u"…"};
  std::mt19937 random(28);
  const auto pick = [&](const auto& choices) {
    return choices[std::uniform_int_distribution<std::size_t>(0, std::size(choices) - 1)(random)];
  };
  for (int round = 0; round < 2000; ++round) {
    std::u16string input;
    const std::size_t length = std::uniform_int_distribution<std::size_t>(0, 40)(random);
    for (std::size_t i = 0; i < length; ++i) input += pick(alphabet);
    SwapTable table;
    for (int n = std::uniform_int_distribution<int>(0, 3)(random); n > 0; --n) {
      table.Append({std::u16string(pick(froms)), std::u16string(pick(tos)), kWholeText});
    }
    const auto tabSpace = static_cast<std::uint8_t>(round % 3);
    const MarkedText expected = PrepareMarked(input, tabSpace, table);
    EntryRanges written;
    const LayoutRules rules{tabSpace, table, {}};
    const std::u16string prepared = Text(PrepareText(input, rules, &written));
    ASSERT_EQ(prepared, expected.text) << round;
    for (std::size_t at = 0; at < prepared.size(); ++at) {
      ASSERT_EQ(written.Contains(at), expected.written[at])
          << "round " << round << " unit " << at << " of " << testing::PrintToString(prepared);
    }
    EntryRanges into;
    EXPECT_EQ(Text(PrepareTextInto(input, {}, 8, rules, &into)), prepared);
    EXPECT_EQ(into.ranges(), written.ranges());
  }
}

// A text that the replacements or the tabs would make longer than the
// bound is refused at the step that passes it, before that step builds
// anything; one that stays within it, or does not grow, is made whole.
struct BoundCase {
  const char* name;
  std::vector<SwapEntry> entries;
  std::uint8_t tabSpace;
  std::u16string input;
  std::size_t bound;
  std::u16string expected;
};

class PrepareTextBoundTest : public testing::TestWithParam<BoundCase> {};

TEST_P(PrepareTextBoundTest, StopsWhereTheTextWouldPassTheBound) {
  const BoundCase& c = GetParam();
  LayoutRules rules{c.tabSpace, {}, {}};
  for (const SwapEntry& entry : c.entries) rules.table.Append(entry);
  EntryRanges written;
  EXPECT_EQ(Text(PrepareText(c.input, rules, &written, c.bound)), c.expected);
  EXPECT_EQ(Text(PrepareTextInto(c.input, {}, 8, rules, nullptr, c.bound)), c.expected);
}

const std::vector<SwapEntry> kDoublings(34, SwapEntry{u"あ", u"ああ", kWholeText});

INSTANTIATE_TEST_SUITE_P(
    , PrepareTextBoundTest,
    testing::Values(
        BoundCase{
            "GrowsUpToTheBound", {{u"あ", u"ああ", kWholeText}}, 4, u"あいあ", 5, u"ああいああ"},
        BoundCase{"OnePastTheBound",
                  {{u"あ", u"ああ", kWholeText}},
                  4,
                  u"あいあ",
                  4,
                  u"(too long: 5 > 4)"},
        BoundCase{"AnEntryOfManyCharacters",
                  {{u"あ", std::u16string(60, u'漢'), kWholeText}},
                  4,
                  std::u16string(1000, u'あ'),
                  100,
                  u"(too long: 1059 > 100)"},
        // 34 doublings of one character would be 16 Gi characters.
        BoundCase{"DoublingsStopAtTheFirstThatPasses", kDoublings, 4, u"あ", 1024,
                  u"(too long: 1025 > 1024)"},
        BoundCase{"WideTabs", {}, 255, std::u16string(10, u'\t'), 100, u"(too long: 264 > 100)"},
        BoundCase{"TabsAfterTheEntries",
                  {{u"a", u"\t\t", kWholeText}},
                  2,
                  u"aa",
                  7,
                  u"(too long: 8 > 7)"},
        BoundCase{"AFromOfTwoUnits",
                  {{u"ab", u"abc", kWholeText}},
                  4,
                  u"ababab",
                  8,
                  u"(too long: 9 > 8)"},
        // Both forms of a pair of code page 932 are matches.
        BoundCase{"AFromOfAPairedCharacter",
                  {{u"〜", u"〜〜", kWholeText}},
                  4,
                  u"～〜",
                  3,
                  u"(too long: 4 > 3)"},
        BoundCase{
            "ATextLongerThanTheBoundMayShrink", {{u"ab", u"", kWholeText}}, 4, u"ababx", 1, u"ｘ"},
        BoundCase{"CellEntriesDoNotGrowTheText", {{u"あ", u"ああ", kCell}}, 4, u"あ", 1, u"あ"}),
    testing_support::CaseName());

}  // namespace
}  // namespace mirotabe
