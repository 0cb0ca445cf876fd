#include "core/ruby_notation.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "tests/support/case_name.h"

namespace mirotabe {
namespace {

struct NotationCase {
  const char* name;
  std::u16string_view input;
  // The text once the marks are out, and each base=reading, in order.
  std::u16string_view text;
  std::u16string_view pairs;
};

class RubyNotation : public testing::TestWithParam<NotationCase> {};

std::u16string PairsOf(const std::u16string& text, const RubyReadings& readings) {
  std::u16string pairs;
  for (const RubySpan& span : readings.spans) {
    if (!pairs.empty()) pairs += u' ';
    pairs += text.substr(span.baseBegin, span.baseEnd - span.baseBegin);
    pairs += u'=';
    pairs += readings.readings.substr(span.readingBegin, span.readingEnd - span.readingBegin);
  }
  return pairs;
}

TEST_P(RubyNotation, TakesOutTheMarksAndKeepsTheRestAsItStands) {
  const NotationCase& c = GetParam();
  std::u16string text(c.input);
  const RubyReadings readings = TakeOutRubyMarks(text);
  EXPECT_EQ(text, c.text);
  EXPECT_EQ(PairsOf(text, readings), c.pairs);
  // Every unit is either kept or said to be removed, once.
  EXPECT_EQ(text.size() + readings.removed.size(), c.input.size());
  std::u16string kept;
  std::size_t next = 0;
  for (std::size_t i = 0; i < c.input.size(); ++i) {
    if (next < readings.removed.size() && readings.removed[next] == i) {
      ++next;
    } else {
      kept += c.input[i];
    }
  }
  EXPECT_EQ(kept, text);
}

INSTANTIATE_TEST_SUITE_P(
    Table, RubyNotation,
    testing::Values(
        NotationCase{"FullWidthBar", u"｜東京《とうきょう》へ", u"東京へ", u"東京=とうきょう"},
        NotationCase{"HalfWidthBar", u"あの|山田《やまだ》さん", u"あの山田さん", u"山田=やまだ"},
        NotationCase{"BarTakesKana", u"｜かな書き《カナガキ》", u"かな書き", u"かな書き=カナガキ"},
        NotationCase{"LatestBarWins", u"｜あ｜い《イ》", u"｜あい", u"い=イ"},
        NotationCase{"KanjiRunWithoutBar", u"その漢字《かんじ》を", u"その漢字を", u"漢字=かんじ"},
        NotationCase{"IterationMarksAndKe", u"時々刻々《じじこっこく》三ヶ月《さんかげつ》",
                     u"時々刻々三ヶ月", u"時々刻々=じじこっこく 三ヶ月=さんかげつ"},
        NotationCase{"KanjiBeyondTheBmp", u"𠮷野《よしの》家", u"𠮷野家", u"𠮷野=よしの"},
        NotationCase{"KanaBeforeIsNoBase", u"ひらがな《かな》", u"ひらがな《かな》", u""},
        NotationCase{"AtTextStart", u"《よみ》だけ", u"《よみ》だけ", u""},
        NotationCase{"Unclosed", u"漢字《かんじ", u"漢字《かんじ", u""},
        NotationCase{"EmptyReading", u"｜漢字《》と字《》", u"｜漢字《》と字《》", u""},
        NotationCase{"EmptyBase", u"｜《よみ》", u"｜《よみ》", u""},
        NotationCase{"EmphasisIsText", u"それは《《大事》》だ", u"それは《《大事》》だ", u""},
        NotationCase{"EmphasisThenRuby", u"《《強調》》と漢《かん》", u"《《強調》》と漢",
                     u"漢=かん"},
        NotationCase{"NestedOpenStartsAgain", u"字《あ字《じ》", u"字《あ字", u"字=じ"},
        NotationCase{"StrayCloseIsText", u"字》と字《じ》", u"字》と字", u"字=じ"},
        NotationCase{"TwoInARow", u"漢字《かんじ》漢字《かんじ》", u"漢字漢字",
                     u"漢字=かんじ 漢字=かんじ"},
        NotationCase{"BaseStopsAtTheMarkBefore", u"字《じ》字《じ》", u"字字", u"字=じ 字=じ"},
        NotationCase{"UnclosedAtLineEnd", u"漢字《かん\r\nじ》", u"漢字《かん\r\nじ》", u""},
        NotationCase{"BaseStopsAtLineStart", u"字\r\n漢《かん》", u"字\r\n漢", u"漢=かん"},
        NotationCase{"BarDoesNotCrossLines", u"｜あ\r\nい漢《かん》", u"｜あ\r\nい漢", u"漢=かん"},
        NotationCase{"AtLineEnds", u"漢《かん》\r\n｜字《じ》", u"漢\r\n字", u"漢=かん 字=じ"}),
    testing_support::CaseName());

TEST(RubyBaseKanji, CountsTheMarksThatStandForKanji) {
  for (const char32_t c : {U'一', U'龥', U'㐀', U'𠮷', U'々', U'〆', U'〇', U'ヶ', U'豈'}) {
    EXPECT_TRUE(IsRubyBaseKanji(c)) << static_cast<unsigned>(c);
  }
  for (const char32_t c : {U'あ', U'ア', U'ー', U'、', U'Ａ', U'a', U'｜', U'《'}) {
    EXPECT_FALSE(IsRubyBaseKanji(c)) << static_cast<unsigned>(c);
  }
}

}  // namespace
}  // namespace mirotabe
