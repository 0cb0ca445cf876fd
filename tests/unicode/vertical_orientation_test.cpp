#include "unicode/vertical_orientation.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <optional>
#include <regex>
#include <string>
#include <vector>

namespace mirotabe {
namespace {

using enum VerticalOrientation;

constexpr const char* kVerticalOrientationFile = "/usr/share/unicode/VerticalOrientation.txt";

struct Case {
  char32_t c;
  VerticalOrientation expected;
};

// Characters of each class that a Japanese text holds, and the ones that
// look alike across classes.
TEST(VerticalOrientationTest, EachClassHoldsTheCharactersAJapaneseTextSetsThatWay) {
  for (const Case& c :
       {// Upright: ideographs (BMP and beyond), kana, full-width
        // letters and digits, the ideographic space, emoji, the
        // vertical presentation forms, private use.
        Case{U'国', kUpright}, Case{U'𠮷', kUpright}, Case{U'あ', kUpright}, Case{U'ア', kUpright},
        Case{U'Ａ', kUpright}, Case{U'ｚ', kUpright}, Case{U'０', kUpright},
        Case{U'\u3000', kUpright}, Case{U'😀', kUpright}, Case{U'︱', kUpright},
        Case{U'﹁', kUpright}, Case{U'\uE000', kUpright}, Case{U'Ⅻ', kUpright},
        Case{U'※', kUpright}, Case{U'‖', kUpright},
        // Upright, with a form of its own where the font has one: the
        // ideographic comma and full stop, small kana, full-width
        // comma and full stop.
        Case{U'、', kTransformedUpright}, Case{U'。', kTransformedUpright},
        Case{U'ぁ', kTransformedUpright}, Case{U'ッ', kTransformedUpright},
        Case{U'ㇰ', kTransformedUpright}, Case{U'，', kTransformedUpright},
        Case{U'．', kTransformedUpright}, Case{U'゛', kTransformedUpright},
        // Turned where the font has no form of its own: the long vowel
        // mark, brackets, colon and semicolon, the wave dash, ｜.
        Case{U'ー', kTransformedRotated}, Case{U'「', kTransformedRotated},
        Case{U'』', kTransformedRotated}, Case{U'（', kTransformedRotated},
        Case{U'【', kTransformedRotated}, Case{U'：', kTransformedRotated},
        Case{U'；', kTransformedRotated}, Case{U'〜', kTransformedRotated},
        Case{U'～', kTransformedRotated}, Case{U'｜', kTransformedRotated},
        Case{U'＿', kTransformedRotated},
        // Turned: the full-width hyphen-minus, quotation marks, dashes,
        // ellipses, arrows, box drawing, Latin, and code points past
        // the last.
        Case{U'－', kRotated}, Case{U'“', kRotated}, Case{U'”', kRotated}, Case{U'―', kRotated},
        Case{U'…', kRotated}, Case{U'‥', kRotated}, Case{U'→', kRotated}, Case{U'┐', kRotated},
        Case{U'└', kRotated}, Case{U'A', kRotated}, Case{U' ', kRotated}, Case{U'\u0000', kRotated},
        Case{U'\xD800', kRotated}, Case{char32_t{0x110000}, kRotated},
        Case{char32_t{0xFFFFFFFF}, kRotated}}) {
    EXPECT_EQ(VerticalOrientationOf(c.c), c.expected) << std::hex << "U+" << std::uint32_t{c.c};
  }
}

// Each code point's class as the file gives it, R where it says nothing.
std::optional<std::vector<VerticalOrientation>> ReadVerticalOrientation() {
  std::ifstream file(kVerticalOrientationFile);
  if (!file) return std::nullopt;
  const std::map<std::string, VerticalOrientation> classes{
      {"U", kUpright}, {"R", kRotated}, {"Tu", kTransformedUpright}, {"Tr", kTransformedRotated}};
  std::vector<VerticalOrientation> table(0x110000, kRotated);
  const std::regex line(R"(^([0-9A-F]+)(?:\.\.([0-9A-F]+))?\s*;\s*(\w+))");
  for (std::string text; std::getline(file, text);) {
    std::smatch match;
    if (!std::regex_search(text, match, line)) continue;
    const auto first = std::stoul(match[1], nullptr, 16);
    const auto last = match[2].matched ? std::stoul(match[2], nullptr, 16) : first;
    for (auto c = first; c <= last; ++c) table.at(c) = classes.at(match[3]);
  }
  return table;
}

TEST(VerticalOrientationTest, EveryCodePointIsAsUnicodesDataSays) {
  const auto table = ReadVerticalOrientation();
  ASSERT_TRUE(table) << "cannot read " << kVerticalOrientationFile
                     << "; install Debian's unicode-data package (the setup script does)";
  int wrong = 0;
  for (char32_t c = 0; c < table->size() && wrong < 10; ++c) {
    if (VerticalOrientationOf(c) == (*table)[c]) continue;
    ADD_FAILURE() << std::hex << "U+" << std::uint32_t{c};
    ++wrong;
  }
}

}  // namespace
}  // namespace mirotabe
