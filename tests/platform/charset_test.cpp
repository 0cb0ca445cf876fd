#include "platform/charset.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/cp932_pairs.h"

namespace mirotabe {
namespace {

std::u16string Units(std::initializer_list<char16_t> units) {
  return std::u16string(units);
}

struct DecodeCase {
  const char* name;
  std::string bytes;
  std::u16string text;
};

void ExpectDecodes(Charset charset, const std::vector<DecodeCase>& cases) {
  for (const DecodeCase& c : cases) {
    EXPECT_EQ(Decode(c.bytes, charset), c.text) << c.name;
    // Counted without decoding: always in code page 932, in valid UTF-8.
    const std::optional<std::size_t> units = DecodedUnits(c.bytes, ToTextEncoding(charset));
    if (charset == Charset::Cp932 || units) {
      EXPECT_EQ(units, c.text.size()) << c.name;
    }
  }
}

struct EncodeCase {
  const char* name;
  std::u16string text;
  std::string bytes;
  std::size_t replaced;
};

void ExpectEncodes(Charset charset, const std::vector<EncodeCase>& cases) {
  for (const EncodeCase& c : cases) {
    const EncodedText encoded = Encode(c.text, charset);
    EXPECT_EQ(encoded.bytes, c.bytes) << c.name;
    EXPECT_EQ(encoded.replaced, c.replaced) << c.name;
  }
}

const std::u16string kLoneHigh = Units({0xD83D});
const std::u16string kLoneLow = Units({0xDE00});

TEST(CharsetCp932, DecodesMicrosoftsTable) {
  ExpectDecodes(Charset::Cp932,
                {
                    {"empty", "", u""},
                    {"ASCII, backslash and tilde included", "a\\~\x7F", u"a\\~\x7F"},
                    {"full-width reverse solidus", "\x81\x5F", u"＼"},
                    {"wave dash as full-width tilde", "\x81\x60", u"～"},
                    {"parallel", "\x81\x61", u"∥"},
                    {"full-width hyphen-minus", "\x81\x7C", u"－"},
                    {"cent, pound, not", "\x81\x91\x81\x92\x81\xCA", u"￠￡￢"},
                    {"hiragana", "\x82\xA0", u"あ"},
                    {"half-width katakana", "\xB1\xDF", u"ｱﾟ"},
                    {"NEC special characters", "\x87\x40", u"①"},
                    {"IBM extension", "\xFA\x40\xFC\x4B", u"ⅰ黑"},
                    {"NEC-selected IBM extension", "\xED\x40\xEE\xF9", u"纊￢"},
                    {"user-defined area", "\xF0\x40\xF9\xFC", u"\uE000\uE757"},
                    {"trail bytes in the ASCII range", "\x81\x40\x81\x5C", u"　―"},
                });
}

TEST(CharsetCp932, DecodesEachBadByteAsOneReplacement) {
  ExpectDecodes(
      Charset::Cp932,
      {
          {"0x80", "\x80@", u"\uFFFD@"},
          {"0xA0", "\xA0@", u"\uFFFD@"},
          {"0xFD", "\xFD@", u"\uFFFD@"},
          {"0xFE", "\xFE@", u"\uFFFD@"},
          {"0xFF", "\xFF@", u"\uFFFD@"},
          {"run of bad bytes", "\x80\xA0\xFF", u"\uFFFD\uFFFD\uFFFD"},
          {"space after a lead byte survives", "\x82\x20", u"\uFFFD "},
          {"unassigned pair", "\x85\x40", u"\uFFFD@"},
          {"bad trail that is itself a lead byte", "\xEF\x82\xA0", u"\uFFFDあ"},
          {"bad trail that leads a pair with an ASCII-range trail", "\xEF\x82\x4F", u"\uFFFD０"},
          {"trail byte out of range", "\x82\x7F\x82\xA0", u"\uFFFD\x7Fあ"},
          {"lead byte cut off at the end", "\x82\xA0\x82", u"あ\uFFFD"},
          {"lead byte alone", "\x82", u"\uFFFD"},
          {"lead byte after ASCII at the end", "ab\x9F", u"ab\uFFFD"},
      });
}

// The ASCII shortcut must not change where characters start: a space,
// which cannot be a trail byte, never changes how the bytes before it
// decode, and two bytes either make one character or decode as they would
// apart.
TEST(CharsetCp932, DecodesEveryBytePairConsistently) {
  for (int first = 0; first < 0x100; ++first) {
    const std::string lead(1, static_cast<char>(first));
    for (int second = 0; second < 0x100; ++second) {
      const std::string trail(1, static_cast<char>(second));
      const std::u16string pair = Decode(lead + trail, Charset::Cp932);
      ASSERT_EQ(Decode(lead + trail + " ", Charset::Cp932), pair + u" ")
          << std::hex << first << " " << second;
      ASSERT_EQ(DecodedUnits(lead + trail, TextEncoding::Cp932), pair.size())
          << std::hex << first << " " << second;
      const bool oneCharacter = pair.size() == 1 && pair[0] != u'\uFFFD';
      if (!oneCharacter) {
        ASSERT_EQ(pair, Decode(lead, Charset::Cp932) + Decode(trail, Charset::Cp932))
            << std::hex << first << " " << second;
      }
    }
  }
}

TEST(CharsetCp932, Encodes) {
  ExpectEncodes(Charset::Cp932,
                {
                    {"empty", u"", "", 0},
                    {"ASCII, backslash and tilde included", u"a\\~", "a\\~", 0},
                    {"full-width forms", u"＼～∥－￠￡￢",
                     "\x81\x5F\x81\x60\x81\x61\x81\x7C\x81\x91\x81\x92\x81\xCA", 0},
                    {"kana", u"あｱ", "\x82\xA0\xB1", 0},
                    {"user-defined area", u"\uE000", "\xF0\x40", 0},
                    // Linux input methods type these; Windows would lose them.
                    {"wave dash", u"〜", "\x81\x60", 0},
                    {"em dash", u"—", "\x81\x5C", 0},
                    {"double vertical line", u"‖", "\x81\x61", 0},
                    {"minus sign", u"−", "\x81\x7C", 0},
                    {"overline", u"‾", "~", 0},
                    {"emoji is one character", u"a😀b", "a?b", 1},
                    {"two emoji", u"😀😀", "??", 2},
                    {"no best fit for e acute", u"café", "caf?", 1},
                    {"no best fit for the euro sign", u"€", "?", 1},
                    {"lone high surrogate", kLoneHigh + u"a", "?a", 1},
                    {"lone low surrogate", u"a" + kLoneLow + u"あ", "a?\x82\xA0", 1},
                    {"lone high surrogate at the end", u"あ" + kLoneHigh, "\x82\xA0?", 1},
                    {"lone high surrogate before a pair", kLoneHigh + u"😀", "??", 2},
                    {"pair in reverse order", kLoneLow + kLoneHigh, "??", 2},
                    // glibc would drop these without a word.
                    {"tag characters", u"a\U000E0001あ\U000E007F", "a?\x82\xA0?", 2},
                    {"tag character amid kanji", u"亜\U000E0020亜", "\x88\x9F?\x88\x9F", 1},
                });
}

// However far into a long run of non-ASCII characters an emoji falls, and
// however many characters the encoder could not hold before it, the pair
// stays one character.
TEST(CharsetEncode, KeepsSurrogatePairsWholeAnywhereInALongRun) {
  for (std::size_t before = 0; before < 200; ++before) {
    const std::u16string kana(before, u'あ');
    std::string kanaCp932;
    for (std::size_t i = 0; i < before; ++i) kanaCp932 += "\x82\xA0";
    std::string kanaUtf8;
    for (std::size_t i = 0; i < before; ++i) kanaUtf8 += "\xE3\x81\x82";

    const EncodedText cp932 = Encode(u"é" + kana + u"😀é", Charset::Cp932);
    EXPECT_EQ(cp932.bytes, "?" + kanaCp932 + "??") << before;
    EXPECT_EQ(cp932.replaced, 3u) << before;

    const EncodedText utf8 = Encode(kLoneLow + kana + u"😀" + kLoneLow, Charset::Utf8);
    EXPECT_EQ(utf8.bytes, "?" + kanaUtf8 + "\xF0\x9F\x98\x80?") << before;
    EXPECT_EQ(utf8.replaced, 2u) << before;
  }
}

// glibc accepts these characters for the code of a look-alike, and decoding
// (Microsoft's table) gives back the look-alike. They are what plain
// Shift_JIS has at those codes (〜 ‖ − ¢ £ ¬ in row 1, ¥ at 0x5C, ‾ at
// 0x7E), and — is the common other reading of 0x815C ―.
const std::map<char16_t, char16_t> kOneWay = {
    {u'¢', u'￠'}, {u'£', u'￡'}, {u'¥', u'\\'}, {u'¬', u'￢'},  {u'—', u'―'},
    {u'‖', u'∥'},  {u'‾', u'~'},  {u'−', u'－'}, {u'〜', u'～'},
};

TEST(CharsetCp932, RoundTripsEveryEncodableCharacterExceptTheOneWayOnes) {
  std::map<char16_t, char16_t> oneWay;
  std::u16string all;
  std::u16string allDecoded;
  std::string allBytes;
  for (char32_t c = 0; c <= 0xFFFF; ++c) {
    const std::u16string text(1, static_cast<char16_t>(c));
    const EncodedText encoded = Encode(text, Charset::Cp932);
    if (encoded.replaced != 0) continue;
    const std::u16string decoded = Decode(encoded.bytes, Charset::Cp932);
    ASSERT_EQ(decoded.size(), 1u) << std::hex << static_cast<int>(c);
    if (decoded != text) oneWay[text[0]] = decoded[0];
    all += text;
    allDecoded += decoded;
    allBytes += encoded.bytes;
  }
  EXPECT_EQ(oneWay, kOneWay);
  // The table built into the program agrees with the converter it runs on.
  std::map<char16_t, char16_t> built;
  for (const Cp932Pair& pair : Cp932OneWayPairs()) built[pair.typed] = pair.stored;
  EXPECT_EQ(built, kOneWay);
  for (char32_t c = 0; c <= 0xFFFF; ++c) {
    const auto unit = static_cast<char16_t>(c);
    const auto pair = kOneWay.find(unit);
    EXPECT_EQ(Cp932ReadBack(unit), pair == kOneWay.end() ? unit : pair->second);
  }

  // In one piece, ASCII and double-byte runs alternate through the whole table.
  const EncodedText encoded = Encode(all, Charset::Cp932);
  EXPECT_EQ(encoded.replaced, 0u);
  EXPECT_EQ(encoded.bytes, allBytes);
  EXPECT_EQ(Decode(allBytes, Charset::Cp932), allDecoded);
}

TEST(CharsetUtf8, Decodes) {
  ExpectDecodes(Charset::Utf8,
                {
                    {"empty", "", u""},
                    {"ASCII", "a\\~", u"a\\~"},
                    {"two and three bytes", "\xC3\xA9\xE3\x81\x82", u"éあ"},
                    {"four bytes give a surrogate pair", "\xF0\x9F\x98\x80", u"😀"},
                    {"byte order mark is a character", "\xEF\xBB\xBFz", u"\uFEFFz"},
                    {"noncharacter is a character", "\xEF\xBF\xBF", u"\uFFFF"},
                    {"stray continuation byte", "y\x80z", u"y\uFFFDz"},
                    {"overlong NUL", "\xC0\x80", u"\uFFFD\uFFFD"},
                    {"overlong slash", "\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD"},
                    {"encoded surrogate", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
                    {"beyond U+10FFFF", "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
                    {"never-used bytes", "\xFE\xFF", u"\uFFFD\uFFFD"},
                    {"sequence cut off at the end", "\xE3\x81", u"\uFFFD\uFFFD"},
                    {"sequence cut off by ASCII", "\xE3\x81z", u"\uFFFD\uFFFDz"},
                    {"lead byte before a whole sequence", "\xE3\xE3\x81\x82", u"\uFFFDあ"},
                });
}

TEST(CharsetUtf8, Encodes) {
  ExpectEncodes(Charset::Utf8,
                {
                    {"empty", u"", "", 0},
                    {"ASCII", u"a\\~", "a\\~", 0},
                    {"two and three bytes", u"éあ\uFFFF", "\xC3\xA9\xE3\x81\x82\xEF\xBF\xBF", 0},
                    {"surrogate pair gives four bytes", u"😀", "\xF0\x9F\x98\x80", 0},
                    {"lone high surrogate", kLoneHigh + u"a", "?a", 1},
                    {"lone low surrogate", u"é" + kLoneLow, "\xC3\xA9?", 1},
                    {"lone high surrogate at the end", u"a" + kLoneHigh, "a?", 1},
                    {"lone high surrogate before a pair", kLoneHigh + u"😀", "?\xF0\x9F\x98\x80", 1},
                    {"pair in reverse order", kLoneLow + kLoneHigh, "??", 2},
                });
}

TEST(CharsetFindUnencodable, CountsAllAndKeepsTheFirstDistinctOnes) {
  const std::u16string mixed = u"a😀bé😀" + kLoneHigh + u"c€é" + kLoneLow;
  struct Case {
    const char* name;
    std::u16string text;
    Charset charset;
    std::size_t keepFirst;
    std::size_t count;
    std::vector<char32_t> first;
  };
  const Case cases[] = {
      {"empty", u"", Charset::Cp932, 5, 0, {}},
      {"all encodable", u"あ〜＼ｱ", Charset::Cp932, 5, 0, {}},
      {"in order of first appearance",
       mixed,
       Charset::Cp932,
       5,
       7,
       {U'😀', U'é', 0xD83D, U'€', 0xDE00}},
      {"only the first few", mixed, Charset::Cp932, 2, 7, {U'😀', U'é'}},
      {"none kept", mixed, Charset::Cp932, 0, 7, {}},
      {"UTF-8 loses only lone surrogates", mixed, Charset::Utf8, 5, 2, {0xD83D, 0xDE00}},
  };
  for (const Case& c : cases) {
    const UnencodableReport report = FindUnencodable(c.text, c.charset, c.keepFirst);
    EXPECT_EQ(report.count, c.count) << c.name;
    EXPECT_EQ(report.first, c.first) << c.name;
  }
  EXPECT_EQ(FindUnencodable(mixed, Charset::Cp932).first.size(), 5u) << "keeps five by default";
}

// Every bad byte is found, the first where it stands, in every encoding;
// a U+FFFD that the bytes hold themselves is none.
TEST(CharsetFindUndecodable, CountsTheBadBytesAndFindsTheFirst) {
  struct Case {
    const char* name;
    std::string_view bytes;
    TextEncoding encoding;
    std::size_t count;
    std::size_t first;
  };
  using namespace std::literals;
  const Case cases[] = {
      {"clean code page 932",
       "\x82\xA0\xB1"
       "a"sv,
       TextEncoding::Cp932, 0, 0},
      {"code page 932 bad lead", "\x82\xA0\x80\xFF"sv, TextEncoding::Cp932, 2, 2},
      {"code page 932 lead at the end", "ab\x82"sv, TextEncoding::Cp932, 1, 2},
      {"UTF-8 stray continuation", "a\xBF"sv, TextEncoding::Utf8, 1, 1},
      {"UTF-8 cut character", "\xE3\x81\x93\xE3\x82\xE3\x81\xAB"sv, TextEncoding::Utf8, 2, 3},
      {"UTF-8 overlong", "\xC0\xAFx"sv, TextEncoding::Utf8, 2, 0},
      {"UTF-8 U+FFFD itself", "\xEF\xBF\xBD"sv, TextEncoding::Utf8, 0, 0},
      {"UTF-16LE lone surrogate", "a\x00\x00\xD8"sv, TextEncoding::Utf16Le, 2, 2},
      {"UTF-16BE odd last byte", "\x00\x61\x00"sv, TextEncoding::Utf16Be, 1, 2},
      {"UTF-16LE U+FFFD itself", "\xFD\xFF"sv, TextEncoding::Utf16Le, 0, 0},
      {"EUC-JP stray byte", "\xA4\xB3\xFF\xA4\xF3"sv, TextEncoding::EucJp, 1, 2},
      {"ISO-2022-JP pair cut short", "\x1B$B=D="sv, TextEncoding::Iso2022Jp, 1, 5},
  };
  for (const Case& c : cases) {
    const UndecodableBytes found = FindUndecodable(c.bytes, c.encoding);
    EXPECT_EQ(found.count, c.count) << c.name;
    EXPECT_EQ(found.firstOffset, c.first) << c.name;
  }
}

TEST(CharsetCp932ByteLength, Table) {
  const struct {
    char32_t c;
    std::size_t length;
  } cases[] = {
      {0, 1},     {U'a', 1},  {U'\\', 1},  {0x7F, 1},   {U'ｱ', 1},      {U'ﾟ', 1},
      {U'あ', 2}, {U'＼', 2}, {U'〜', 2},  {U'¥', 1},   {U'\uE000', 2}, {U'é', 0},
      {U'€', 0},  {U'😀', 0},  {0xD800, 0}, {0xDFFF, 0}, {0x110000, 0},  {0xFFFFFFFF, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Cp932ByteLength(c.c), c.length) << std::hex << static_cast<unsigned>(c.c);
  }
}

TEST(CharsetCp932ByteLength, AgreesWithEncodeForEveryBmpCharacter) {
  for (char32_t c = 0; c <= 0xFFFF; ++c) {
    if (c >= 0xD800 && c <= 0xDFFF) continue;
    const EncodedText encoded = Encode(std::u16string(1, static_cast<char16_t>(c)), Charset::Cp932);
    const std::size_t expected = encoded.replaced == 0 ? encoded.bytes.size() : 0;
    ASSERT_EQ(Cp932ByteLength(c), expected) << std::hex << static_cast<unsigned>(c);
  }
}

}  // namespace
}  // namespace mirotabe
