#include "core/prepare_text.h"

#include <gtest/gtest.h>

namespace mirotabe {
namespace {

using enum SwapKind;

// Long texts are searched eight units at a time: occurrences must be found
// at every offset, across block edges, and near-misses skipped.
TEST(PrepareTextTest, ReplacesAtEveryOffsetOfALongText) {
  SwapTable table;
  table.Append({u"ab", u"X", kWholeText});
  for (std::size_t offset = 0; offset < 20; ++offset) {
    const std::u16string head(offset, u'x');
    const std::u16string tail(17, u'y');
    const std::u16string text = head + u"ab" + tail + u"a" + tail + u"ab";
    EXPECT_EQ(ApplyWholeTextReplacements(text, table), head + u"X" + tail + u"a" + tail + u"X")
        << offset;
    EXPECT_EQ(ExpandTabs(head + u"\t" + tail + u"\t", 2), head + u"  " + tail + u"  ") << offset;
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
    EXPECT_EQ(ApplyWholeTextReplacements(std::u16string(c.text), table), c.expected)
        << std::string(c.from.begin(), c.from.end()) << " -> "
        << std::string(c.to.begin(), c.to.end());
  }
  EXPECT_EQ(ExpandTabs(u"\ta\t\tb\t", 0), u"ab");
  EXPECT_EQ(ExpandTabs(u"\ta\t\tb\t", 3), u"   a      b   ");
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
      const std::u16string prepared =
          PrepareTextInto(c.input, std::move(buffer), 8, {c.tabSpace, *c.table, {}});
      EXPECT_EQ(prepared, c.expected) << "held " << held;
      EXPECT_GE(prepared.capacity(), prepared.size() + 8);
    }
    EXPECT_EQ(PrepareText(c.input, {c.tabSpace, *c.table, {}}), c.expected);
  }
}

}  // namespace
}  // namespace mirotabe
