#include "unicode/line_break.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace mirotabe {
namespace {

using enum LineBreakClass;

struct ClassCase {
  char32_t c;
  LineBreakClass expected;
};

class LineBreakClassTest : public testing::TestWithParam<ClassCase> {};

TEST_P(LineBreakClassTest, IsResolvedAsStrictJapaneseBreakingSeesIt) {
  EXPECT_EQ(LineBreakClassOf(GetParam().c), GetParam().expected)
      << std::hex << static_cast<unsigned>(GetParam().c);
}

INSTANTIATE_TEST_SUITE_P(
    Characters, LineBreakClassTest,
    testing::Values(
        // Small kana and the long vowel mark never start a line.
        ClassCase{U'ぁ', kNS}, ClassCase{U'ッ', kNS}, ClassCase{U'ー', kNS}, ClassCase{U'あ', kID},
        ClassCase{U'漢', kID}, ClassCase{U'、', kCL},
        // Brackets: the wide ones do not bind to a letter.
        ClassCase{U'(', kOP}, ClassCase{U'「', kOPWide}, ClassCase{U'（', kOPWide},
        ClassCase{U'〈', kOPWide}, ClassCase{U')', kCP}, ClassCase{U'」', kCL},
        ClassCase{U'a', kAL}, ClassCase{U'1', kNU}, ClassCase{U' ', kSP}, ClassCase{U'\u3000', kBA},
        ClassCase{U'-', kHY}, ClassCase{U'/', kSY},
        // Resolved: Thai marks combine, its letters are letters; ambiguous
        // and unassigned code points are letters too.
        ClassCase{U'\u0E31', kCM}, ClassCase{U'\u0E01', kAL}, ClassCase{U'①', kAL},
        ClassCase{U'\U000E0080', kAL}, ClassCase{char32_t{0xD800}, kAL},
        ClassCase{char32_t{0x110000}, kAL},
        // Beyond the Basic Multilingual Plane, through the runs.
        ClassCase{U'\U00020BB7', kID}, ClassCase{U'\U0001F600', kID}, ClassCase{U'\U0001F3FB', kEM},
        ClassCase{U'\U0001F02C', kIDReservedPictographic}, ClassCase{U'\U0001F1E6', kRI}));

// Unicode's own test of the rules: each line a string of code points with
// ÷ where a line may break and × where it may not.
TEST(LineBreakRulesTest, BreakWhereUnicodesOwnTestDataBreaks) {
  const std::string path = MIROTABE_UNICODE_DATA_DIR "/auxiliary/LineBreakTest.txt";
  std::ifstream file(path);
  ASSERT_TRUE(file) << path << " is missing; install Debian's unicode-data package";
  std::size_t cases = 0;
  std::size_t failures = 0;
  for (std::string line; std::getline(file, line);) {
    line = line.substr(0, line.find('#'));
    if (line.empty()) continue;
    std::vector<char32_t> text;
    std::vector<bool> breaks;  // breaks[i]: a break before text[i]
    std::istringstream words(line);
    for (std::string word; words >> word;) {
      if (word == "\xC3\xB7") {  // ÷
        breaks.push_back(true);
      } else if (word == "\xC3\x97") {  // ×
        breaks.push_back(false);
      } else {
        text.push_back(static_cast<char32_t>(std::stoul(word, nullptr, 16)));
      }
    }
    ASSERT_EQ(breaks.size(), text.size() + 1) << line;
    ++cases;
    LineBreakRules rules;
    std::string got;
    bool same = true;
    for (std::size_t i = 0; i < text.size(); ++i) {
      LineBreakClass after = kBK;
      for (std::size_t j = i + 1; j < text.size(); ++j) {
        after = LineBreakClassOf(text[j]);
        if (after != kCM && after != kZWJ) break;
      }
      const bool mayBreak = rules.Next(LineBreakClassOf(text[i]), after) != LineBreak::kProhibited;
      same = same && (i == 0 || mayBreak == breaks[i]);
      // Asked about one place alone, the rules read back only as far as
      // they need, and decide alike.
      const auto classOf = [&text](std::size_t k) { return LineBreakClassOf(text[k]); };
      same = same && (i == 0 || (BreakBefore(i, text.size(), classOf) != LineBreak::kProhibited) ==
                                    breaks[i]);
    }
    if (!same && ++failures <= 20) ADD_FAILURE() << "breaks differ: " << line;
  }
  EXPECT_GT(cases, 7000U);
  EXPECT_EQ(failures, 0U) << "of " << cases;
}

}  // namespace
}  // namespace mirotabe
