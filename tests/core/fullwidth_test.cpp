#include "core/fullwidth.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "platform/charset.h"
#include "unicode/utf16.h"

namespace mirotabe {
namespace {

constexpr const char* kUnicodeData = "/usr/share/unicode/UnicodeData.txt";

// What the tests need from Unicode's character database.
struct UnicodeData {
  // Half-width (or ASCII) character → its full-width form, from the
  // <wide> and <narrow> compatibility decompositions.
  std::map<char32_t, char32_t> fullWidthOf;
  // (base, combining mark) → the precomposed character, from the canonical
  // decompositions.
  std::map<std::pair<char32_t, char32_t>, char32_t> composed;
};

std::vector<std::string> SplitFields(const std::string& line, char separator) {
  std::vector<std::string> fields;
  std::istringstream stream(line);
  for (std::string field; std::getline(stream, field, separator);) fields.push_back(field);
  return fields;
}

char32_t Hex(const std::string& digits) {
  return static_cast<char32_t>(std::stoul(digits, nullptr, 16));
}

std::optional<UnicodeData> ReadUnicodeData() {
  std::ifstream file(kUnicodeData);
  if (!file) return std::nullopt;
  UnicodeData data;
  for (std::string line; std::getline(file, line);) {
    const std::vector<std::string> fields = SplitFields(line, ';');
    if (fields.size() < 6 || fields[5].empty()) continue;
    const char32_t code = Hex(fields[0]);
    const std::vector<std::string> parts = SplitFields(fields[5], ' ');
    if (parts.size() != 2) continue;
    if (parts[0] == "<wide>") {
      data.fullWidthOf[Hex(parts[1])] = code;
    } else if (parts[0] == "<narrow>") {
      data.fullWidthOf[code] = Hex(parts[1]);
    } else if (parts[0][0] != '<') {
      data.composed[{Hex(parts[0]), Hex(parts[1])}] = code;
    }
  }
  return data;
}

// Null when the file cannot be read.
const UnicodeData* LoadUnicodeData() {
  static const std::optional<UnicodeData> data = ReadUnicodeData();
  return data ? &*data : nullptr;
}

#define ASSERT_UNICODE_DATA(data)                                                          \
  ASSERT_NE(data, nullptr) << "cannot read " << kUnicodeData                               \
                           << "; install Debian's unicode-data package (the setup script " \
                              "does)"

std::u16string Utf16(char32_t c) {
  if (c < 0x10000) return std::u16string(1, static_cast<char16_t>(c));
  const SurrogatePair pair = SplitIntoSurrogates(c);
  return {pair.high, pair.low};
}

bool InCp932(char32_t c) {
  return Encode(Utf16(c), Charset::Cp932).replaced == 0;
}

constexpr char32_t kHalfWidthVoicedMark = 0xFF9E;
constexpr char32_t kHalfWidthSemiVoicedMark = 0xFF9F;

// Unicode decomposes the half-width marks into the combining ones; alone,
// they take the spacing forms instead, which fill a cell of their own.
const std::map<char32_t, char32_t> kLoneMarks = {
    {kHalfWidthVoicedMark, U'゛'},
    {kHalfWidthSemiVoicedMark, U'゜'},
};

TEST(FullWidthUnicodeData, MapsEveryWideAndNarrowPair) {
  const UnicodeData* data = LoadUnicodeData();
  ASSERT_UNICODE_DATA(data);
  ASSERT_GT(data->fullWidthOf.size(), 200u) << "too few <wide>/<narrow> pairs in " << kUnicodeData;
  for (const auto& [half, full] : data->fullWidthOf) {
    const auto lone = kLoneMarks.find(half);
    const char32_t expected = lone == kLoneMarks.end() ? full : lone->second;
    EXPECT_EQ(ToFullWidth(Utf16(half)), Utf16(expected)) << std::hex << static_cast<unsigned>(half);
  }
}

TEST(FullWidthUnicodeData, LeavesEveryOtherCodeUnitUnchanged) {
  const UnicodeData* data = LoadUnicodeData();
  ASSERT_UNICODE_DATA(data);
  for (char32_t c = 0; c <= 0xFFFF; ++c) {
    if (data->fullWidthOf.contains(c)) continue;
    const std::u16string unit(1, static_cast<char16_t>(c));
    EXPECT_EQ(ToFullWidth(unit), unit) << std::hex << static_cast<unsigned>(c);
  }
}

// A half-width kana and a following mark make the precomposed character
// where Unicode has one and code page 932 can save it; otherwise they stay
// two characters, the mark in its spacing form.
TEST(FullWidthUnicodeData, ComposesKanaWhereCodePage932HasTheResult) {
  const UnicodeData* data = LoadUnicodeData();
  ASSERT_UNICODE_DATA(data);
  const std::map<char32_t, char32_t> combiningOf = {
      {kHalfWidthVoicedMark, U'\u3099'},
      {kHalfWidthSemiVoicedMark, U'\u309A'},
  };
  int composedCount = 0;
  int notInCp932Count = 0;
  for (char32_t half = 0xFF61; half <= 0xFF9D; ++half) {
    const char32_t base = data->fullWidthOf.at(half);
    for (const auto& [mark, combining] : combiningOf) {
      std::u16string expected = Utf16(base) + Utf16(kLoneMarks.at(mark));
      const auto composed = data->composed.find({base, combining});
      if (composed != data->composed.end()) {
        if (InCp932(composed->second)) {
          expected = Utf16(composed->second);
          ++composedCount;
        } else {
          ++notInCp932Count;
        }
      }
      EXPECT_EQ(ToFullWidth(Utf16(half) + Utf16(mark)), expected)
          << std::hex << static_cast<unsigned>(half) << " " << static_cast<unsigned>(mark);
    }
  }
  // Both outcomes occur: ｶﾞ composes, ﾜﾞ (ヷ) does not.
  EXPECT_GT(composedCount, 0);
  EXPECT_GT(notInCp932Count, 0);
}

TEST(FullWidth, NamedExamples) {
  const struct {
    const char* name;
    std::u16string text;
    std::u16string expected;
  } cases[] = {
      {"empty", u"", u""},
      {"voiced", u"ｶﾞ", u"ガ"},
      {"semi-voiced", u"ﾊﾟ", u"パ"},
      {"voiced u", u"ｳﾞ", u"ヴ"},
      {"voiced wa is not in code page 932", u"ﾜﾞ", u"ワ゛"},
      {"voiced wo is not in code page 932", u"ｦﾞ", u"ヲ゛"},
      {"a has no voiced form", u"ｱﾞ", u"ア゛"},
      {"ka has no semi-voiced form", u"ｶﾟ", u"カ゜"},
      {"one mark composes, the next stands alone", u"ｶﾞﾞ", u"ガ゛"},
      {"lone marks", u"ﾞaﾟ", u"゛ａ゜"},
      {"base at the end", u"ﾃｽﾄ", u"テスト"},
      {"only a half-width base composes", u"カﾞ", u"カ゛"},
      {"a full-width mark is left alone", u"ｶ゛", u"カ゛"},
      {"half-width punctuation", u"｡｢｣､･ｰ", u"。「」、・ー"},
      {"spaces and letters", u"a b", u"ａ　ｂ"},
      {"backslash", u"\\", u"＼"},
      {"tilde", u"~", u"～"},
      {"controls", u"\r\n\t\x7F", u"\r\n\t\x7F"},
      {"Latin-1 symbols and won", u"¢£¬¯¦¥₩", u"￠￡￢￣￤￥￦"},
      {"half-width Hangul", u"\uFFA0ﾡￜ", u"\u3164ㄱㅣ"},
      {"half-width symbols", u"￨￩￪￫￬￭￮", u"│←↑→↓■○"},
      {"white parentheses", u"⦅⦆", u"｟｠"},
      {"already full-width", u"ａ＼　ガ", u"ａ＼　ガ"},
      {"kanji and kana", u"漢字かな", u"漢字かな"},
      {"surrogate pair", u"😀x", u"😀ｘ"},
      {"lone surrogates", std::u16string{0xDC00, 0xD800}, std::u16string{0xDC00, 0xD800}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ToFullWidth(c.text), c.expected) << c.name;
  }
}

}  // namespace
}  // namespace mirotabe

namespace mirotabe {
namespace {

// Long texts are mapped eight units at a time where they can be; every
// unit must come out as it does alone, wherever it stands in a block.
TEST(FullWidth, LongTextsMapLikeSingleCharacters) {
  std::u16string everyUnit;
  std::u16string expected;
  for (char32_t c = 0; c <= 0xFFFF; ++c) {
    const std::u16string single(1, static_cast<char16_t>(c));
    everyUnit += single;
    expected += ToFullWidth(single);
  }
  for (const std::size_t shift : {0, 1, 3, 7}) {
    const std::u16string text = std::u16string(shift, u'x') + everyUnit;
    EXPECT_EQ(ToFullWidth(text), std::u16string(shift, u'ｘ') + expected) << shift;
  }
  EXPECT_EQ(ToFullWidth(u"abcdefgｶﾞ"), u"ａｂｃｄｅｆｇガ");  // a mark beyond the block
}

}  // namespace
}  // namespace mirotabe
