#include "textio/encoding_detection.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <string_view>

#include "tests/support/case_name.h"
#include "tests/support/temp_folder.h"
#include "textio/text_file.h"

namespace mirotabe {
namespace {

using namespace std::literals;

// One sentence, "縦書きは、上から下へ読み進める書き方です。", in each encoding.
constexpr std::u16string_view kSentence = u"縦書きは、上から下へ読み進める書き方です。";
constexpr std::string_view kSentenceUtf8 =
    "\xE7\xB8\xA6\xE6\x9B\xB8\xE3\x81\x8D\xE3\x81\xAF\xE3\x80\x81\xE4\xB8\x8A\xE3\x81\x8B\xE3\x82"
    "\x89\xE4\xB8\x8B\xE3\x81\xB8\xE8\xAA\xAD\xE3\x81\xBF\xE9\x80\xB2\xE3\x82\x81\xE3\x82\x8B\xE6"
    "\x9B\xB8\xE3\x81\x8D\xE6\x96\xB9\xE3\x81\xA7\xE3\x81\x99\xE3\x80\x82"sv;
constexpr std::string_view kSentenceCp932 =
    "\x8F"
    "c\x8F\x91\x82\xAB\x82\xCD\x81"
    "A\x8F\xE3\x82\xA9\x82\xE7\x89\xBA\x82\xD6\x93\xC7\x82\xDD\x90i\x82\xDF\x82\xE9\x8F\x91\x82\xAB"
    "\x95\xFB\x82\xC5\x82\xB7\x81"
    "B"sv;
constexpr std::string_view kSentenceEucJp =
    "\xBD\xC4\xBD\xF1\xA4\xAD\xA4\xCF\xA1\xA2\xBE\xE5\xA4\xAB\xA4\xE9\xB2\xBC\xA4\xD8\xC6\xC9\xA4"
    "\xDF\xBF\xCA\xA4\xE1\xA4\xEB\xBD\xF1\xA4\xAD\xCA\xFD\xA4\xC7\xA4\xB9\xA1\xA3"sv;
constexpr std::string_view kSentenceIso2022Jp =
    "\x1B$B=D=q$-$O!\x22>e$+$i2<$XFI$_?J$a$k=q$-J}$G$9!#\x1B(B"sv;

// The sentence in EUC-JP with a stray byte after 下へ.
const std::string kEucJpWithStrayByte =
    std::string(kSentenceEucJp.substr(0, 20)) + "\xFF" + std::string(kSentenceEucJp.substr(20));

// The sentence in UTF-8 with the last byte of 下 cut off, as a damaged file has it.
const std::string kUtf8WithCutCharacter =
    std::string(kSentenceUtf8.substr(0, 26)) + std::string(kSentenceUtf8.substr(27));

// あ in UTF-8 `kana` times on either side of two stray bytes, which UTF-8
// cannot read and code page 932 reads as ｱｱ: the same damage in a short and
// a long text, whose code page 932 reading is clean but plainly no Japanese.
std::string KanaAroundStrayBytes(int kana) {
  std::string half;
  for (int i = 0; i < kana; ++i) half += "\xE3\x81\x82";
  return half + "\xB1\xB1" + half;
}
const std::string kShortKanaAroundStrayBytes = KanaAroundStrayBytes(4);
const std::string kLongKanaAroundStrayBytes = KanaAroundStrayBytes(64);
const std::u16string kLongKanaAroundBadBytes =
    std::u16string(64, u'あ') + u"\uFFFD\uFFFD" + std::u16string(64, u'あ');

// Long texts are one sentence on each of many lines.
constexpr int kLongLines = 40;

struct DetectionCase {
  const char* name;
  std::string_view bytes;
  int lines;  // `bytes` repeated on this many lines, `text` likewise
  TextEncoding encoding;
  std::u16string_view text;
  bool undetermined = false;
};

std::string Lines(std::string_view line, int count) {
  std::string bytes;
  for (int i = 0; i < count; ++i) bytes.append(line).append(i + 1 < count ? "\n" : "");
  return bytes;
}

std::u16string Lines(std::u16string_view line, int count) {
  std::u16string text;
  for (int i = 0; i < count; ++i) text.append(line).append(i + 1 < count ? u"\r\n" : u"");
  return text;
}

class EncodingDetectionTest : public testing::TestWithParam<DetectionCase> {};

TEST_P(EncodingDetectionTest, FindsTheEncodingAndTheText) {
  const DetectionCase& c = GetParam();
  const DetectedText detected = DecodeDetectedTextFile(Lines(c.bytes, c.lines));
  EXPECT_EQ(detected.encoding, c.encoding);
  EXPECT_EQ(detected.text, Lines(c.text, c.lines));
  EXPECT_EQ(detected.undetermined, c.undetermined);

  // Read from a file, the same, with the length told before decoding.
  const testing_support::TempFolder folder;
  const std::string path = folder.PathOf("in.txt");
  testing_support::WriteFile(path, Lines(c.bytes, c.lines));
  IoResult<UndecodedTextFile> file = UndecodedTextFile::Read(path, std::nullopt);
  ASSERT_TRUE(file);
  EXPECT_EQ(file.value().TextLength(), detected.text.size());
  const IoResult<DetectedText> read = std::move(file.value()).Decode();
  ASSERT_TRUE(read);
  EXPECT_EQ(read.value().text, detected.text);
  EXPECT_EQ(read.value().encoding, detected.encoding);
  EXPECT_EQ(read.value().undetermined, detected.undetermined);
}

INSTANTIATE_TEST_SUITE_P(
    Files, EncodingDetectionTest,
    testing::Values(
        // A byte-order mark decides, and is no part of the text.
        DetectionCase{"Utf8Mark",
                      "\xEF\xBB\xBF\xE7\xB8\xA6"
                      "a"sv,
                      1, TextEncoding::Utf8, u"縦a"},
        DetectionCase{"Utf8MarkBeforeAscii",
                      "\xEF\xBB\xBF"
                      "ab"sv,
                      1, TextEncoding::Utf8, u"ab"},
        DetectionCase{"Utf16LeMark", "\xFF\xFE&~a\x00\r\x00\n\x00\x62\x00\n\x00"sv, 1,
                      TextEncoding::Utf16Le, u"縦a\r\nb"},
        DetectionCase{"Utf16BeMark", "\xFE\xFF~&\x00\x61\x00\n\x00\x62"sv, 1, TextEncoding::Utf16Be,
                      u"縦a\r\nb"},
        DetectionCase{"Utf16LeSurrogatePair", "\xFF\xFE=\xD8\x00\xDE"sv, 1, TextEncoding::Utf16Le,
                      u"😀"},
        DetectionCase{"Utf16LeLoneSurrogateKeepsAlignment", "\xFF\xFE\x00\xD8\x41\x00"sv, 1,
                      TextEncoding::Utf16Le, u"\uFFFD\uFFFDA"},
        DetectionCase{"Utf16LeOddLastByte", "\xFF\xFE\x41\x00\x42"sv, 1, TextEncoding::Utf16Le,
                      u"A\uFFFD"},
        // Plain ASCII reads as code page 932, as ever.
        DetectionCase{"Empty", ""sv, 1, TextEncoding::Cp932, u""},
        DetectionCase{"Ascii", "ab\r\ncd\n"sv, 1, TextEncoding::Cp932, u"ab\r\ncd"},
        DetectionCase{"LoneEscape",
                      "a\x1B"
                      "b"sv,
                      1, TextEncoding::Cp932,
                      u"a\x1B"
                      u"b"},
        // UTF-8.
        DetectionCase{"Utf8OneKana", "\xE3\x81\x82"sv, 1, TextEncoding::Utf8, u"あ"},
        DetectionCase{"Utf8AlsoValidCp932", "\xE3\x81\x93\xE3\x82\x93\xE3\x81\xAB\xE3\x81\xA1"sv, 1,
                      TextEncoding::Utf8, u"こんにち"},
        DetectionCase{"Utf8Long", kSentenceUtf8, kLongLines, TextEncoding::Utf8, kSentence},
        DetectionCase{"Utf8HalfWidthKatakana", "\xEF\xBE\x83\xEF\xBD\xBD"sv, 1, TextEncoding::Utf8,
                      u"ﾃｽ"},
        DetectionCase{"Utf8LatinNotValidCp932",
                      "3\xC3\x97"
                      "4"sv,
                      1, TextEncoding::Utf8, u"3×4"},
        // The price of reading short half-width katakana right.
        DetectionCase{"Utf8LatinAlsoValidCp932", "caf\xC3\xA9"sv, 1, TextEncoding::Cp932, u"cafﾃｩ"},
        // Code page 932, also where its bytes are valid UTF-8.
        DetectionCase{"Cp932HalfWidthPair", "\xC3\xBD"sv, 1, TextEncoding::Cp932, u"ﾃｽ"},
        DetectionCase{"Cp932HalfWidthPairLines", "\xC3\xBD"sv, kLongLines, TextEncoding::Cp932,
                      u"ﾃｽ"},
        DetectionCase{"Cp932HalfWidthThree", "\xC3\xBD\xC4"sv, 1, TextEncoding::Cp932, u"ﾃｽﾄ"},
        DetectionCase{"Cp932HalfWidthAndKanji", "\xC3\xBD\xC4\x8A\xBF\x8E\x9A"sv, 1,
                      TextEncoding::Cp932, u"ﾃｽﾄ漢字"},
        DetectionCase{"Cp932OneKana", "\x82\xA0"sv, 1, TextEncoding::Cp932, u"あ"},
        DetectionCase{"Cp932Sentence", kSentenceCp932, 1, TextEncoding::Cp932, kSentence},
        DetectionCase{"Cp932Long", kSentenceCp932, kLongLines, TextEncoding::Cp932, kSentence},
        DetectionCase{"Cp932Extensions", "\x87@\x81`\xEE\xE0"sv, 1, TextEncoding::Cp932, u"①～髙"},
        // Valid UTF-8 too, whose reading holds a character outside ordinary
        // Japanese text (a radical, an arrow), or is too short to say: a
        // lone second-level kanji.
        DetectionCase{"Cp932AsUtf8Radical", "\xE2\xBE\x83\x77"sv, 1, TextEncoding::Cp932, u"篝ヘ"},
        DetectionCase{"Cp932AsUtf8Arrow", "\xE2\x86\x92\xE3\x81\x82"sv, 1, TextEncoding::Cp932,
                      u"竊偵≠"},
        DetectionCase{"Cp932AsUtf8LoneKanji", "\xE8\xA0\xA1"sv, 1, TextEncoding::Cp932, u"陟｡"},
        // ... and UTF-8 that reads as ordinary Japanese, though code page
        // 932 reads it cleanly too.
        DetectionCase{"Utf8TwoKanjiAlsoValidCp932", "\xE6\x97\xA5\xE6\x9C\xAC"sv, 1,
                      TextEncoding::Utf8, u"日本"},
        DetectionCase{"Utf8LoneKanjiAlsoValidCp932", "\xE7\xB8\xA6"sv, 1, TextEncoding::Utf8,
                      u"縦"},
        DetectionCase{"Utf8LoneKanaAlsoValidCp932", "\xE3\x81\xAE"sv, 1, TextEncoding::Utf8, u"の"},
        DetectionCase{"Utf8LonePunctuationAlsoValidCp932", "\xE2\x80\xA6"sv, 1, TextEncoding::Utf8,
                      u"…"},
        DetectionCase{"Utf8LatinAndKanjiAlsoValidCp932", "\xC3\xBD\xE8\xA0\xA1\xE8\xA0\xA1"sv, 1,
                      TextEncoding::Utf8, u"ý蠡蠡"},
        // Half-width katakana that pair up into EUC-JP kanji.
        DetectionCase{"Cp932HalfWidthAsEucJp", "\xC6\xBB\xC9\xC2\xDC\xC3\xA5\xB6\xA5\xB5\xC9\xCA"sv,
                      1, TextEncoding::Cp932, u"ﾆｻﾉﾂﾜﾃ･ｶ･ｵﾉﾊ"},
        // EUC-JP, with code page 932's code point for the wave dash.
        DetectionCase{"EucJpGreeting", "\xA4\xB3\xA4\xF3\xA4\xCB\xA4\xC1\xA4\xCF"sv, 1,
                      TextEncoding::EucJp, u"こんにちは"},
        DetectionCase{"EucJpSentence", kSentenceEucJp, 1, TextEncoding::EucJp, kSentence},
        DetectionCase{"EucJpLong", kSentenceEucJp, kLongLines, TextEncoding::EucJp, kSentence},
        DetectionCase{"EucJpWaveDash", "\xA1\xC1\xA4\xB3\xA4\xF3\xA4\xCB\xA4\xC1\xA4\xCF\xA1\xC1"sv,
                      1, TextEncoding::EucJp, u"～こんにちは～"},
        // ISO-2022-JP.
        DetectionCase{"Iso2022JpWord", "\x1B$B=D=q$-\x1B(B"sv, 1, TextEncoding::Iso2022Jp,
                      u"縦書き"},
        DetectionCase{"Iso2022JpSentence", kSentenceIso2022Jp, 1, TextEncoding::Iso2022Jp,
                      kSentence},
        DetectionCase{"Iso2022JpLong", kSentenceIso2022Jp, kLongLines, TextEncoding::Iso2022Jp,
                      kSentence},
        DetectionCase{"Iso2022JpHalfWidthKatakana", "\x1B(I\x43\x3D\x1B(B"sv, 1,
                      TextEncoding::Iso2022Jp, u"ﾃｽ"},
        // JIS X 0213 from the first escape sequence on, and a pair cut short.
        DetectionCase{"Iso2022Jp3", "\x1B$(O=D=q$-\x1B(B"sv, 1, TextEncoding::Iso2022Jp, u"縦書き"},
        DetectionCase{"Iso2022Jp2004", "\x1B$(Q=D\x1B(B"sv, 1, TextEncoding::Iso2022Jp, u"縦"},
        DetectionCase{"Iso2022JpCutPair", "\x1B$B=D=\x1B(B"sv, 1, TextEncoding::Iso2022Jp,
                      u"縦\uFFFD"},
        // A terminal's colours are no JIS set.
        DetectionCase{"AsciiWithAnotherEscape", "a\x1B[0mb"sv, 1, TextEncoding::Cp932,
                      u"a\x1B[0mb"},
        // UTF-16 without a mark: by its NUL bytes, or as everyday Japanese.
        DetectionCase{"Utf16LeAsciiWithoutMark", "a\x00\n\x00\x62\x00\n\x00"sv, 1,
                      TextEncoding::Utf16Le, u"a\r\nb"},
        DetectionCase{"Utf16BeWithoutMark", "~&f\xF8\x00\n0M"sv, 1, TextEncoding::Utf16Be,
                      u"縦書\r\nき"},
        DetectionCase{"Utf16LeKanaWithoutNul", "S0\x93\x30k0a0o0"sv, 1, TextEncoding::Utf16Le,
                      u"こんにちは"},
        // Bad bytes in a text that is plainly Japanese: the encoding holds,
        // and each bad byte reads as U+FFFD.
        DetectionCase{"EucJpStrayByte", "\xA4\xB3\xA4\xF3\xFF\xA4\xCB\xA4\xC1\xA4\xCF"sv, 1,
                      TextEncoding::EucJp, u"こん\uFFFDにちは"},
        DetectionCase{"EucJpStrayByteLong", std::string_view(kEucJpWithStrayByte), kLongLines,
                      TextEncoding::EucJp, u"縦書きは、上から下へ\uFFFD読み進める書き方です。"},
        DetectionCase{"Utf8CutCharacter", std::string_view(kUtf8WithCutCharacter), 1,
                      TextEncoding::Utf8, u"縦書きは、上から\uFFFD\uFFFDへ読み進める書き方です。"},
        DetectionCase{"Utf8CutCharacterLines", std::string_view(kUtf8WithCutCharacter), kLongLines,
                      TextEncoding::Utf8, u"縦書きは、上から\uFFFD\uFFFDへ読み進める書き方です。"},
        // Bytes are never lost to a guess where another encoding reads them
        // all: in a short text, however little like Japanese that reading is.
        DetectionCase{"Cp932SecondLevelKanjiNotUtf8", "\xE5\x99\x9B\xD4\xE3\x4E"sv, 1,
                      TextEncoding::Cp932, u"蝎嶽絲"},
        DetectionCase{"Utf8CutShortCharacterReadsAsCleanCp932",
                      "\xE3\x81\x93\xE3\x82\xE3\x81\xAB\xE3\x81\xA1"sv, 1, TextEncoding::Cp932,
                      u"縺薙ゅ↓縺｡"},
        DetectionCase{"Utf8ShortDamageReadsAsCleanCp932",
                      std::string_view(kShortKanaAroundStrayBytes), 1, TextEncoding::Cp932,
                      u"縺ゅ≠縺ゅ≠ｱｱ縺ゅ≠縺ゅ≠"},
        // ... but a long text's rare faults are damage, beside a clean
        // reading that is no Japanese.
        DetectionCase{"Utf8LongDamageBesideCleanCp932", std::string_view(kLongKanaAroundStrayBytes),
                      1, TextEncoding::Utf8, kLongKanaAroundBadBytes},
        // Two clean readings: EUC-JP's kana outweighs code page 932's ､ﾎ.
        DetectionCase{"EucJpKanaOverCleanCp932", "\xA4\xCE"sv, 1, TextEncoding::EucJp, u"の"},
        DetectionCase{"Cp932StrayByte", "\x82\xB1\x82\xF1\xFF\x82\xC9\x82\xBF"sv, 1,
                      TextEncoding::Cp932, u"こん\uFFFDにち"},
        // 蔭: FE follows a half-width katakana, which code page 932 cannot read.
        DetectionCase{"EucJpNotCp932", "\xB0\xFE"sv, 1, TextEncoding::EucJp, u"蔭"},
        // Too little to tell: code page 932, flagged only when bytes were bad.
        DetectionCase{"EucJpTooShortReadsAsValidCp932", "\xC9\xBD\xBC\xA8"sv, 1,
                      TextEncoding::Cp932, u"ﾉｽｼｨ"},
        DetectionCase{"BadBytes",
                      "a\x80\xFF"
                      "b"sv,
                      1, TextEncoding::Cp932, u"a\uFFFD\uFFFDb", true},
        DetectionCase{"OnlyBadBytes", "\xFF\xFF"sv, 1, TextEncoding::Cp932, u"\uFFFD\uFFFD", true}),
    testing_support::CaseName());

// Code page 932 bytes of the character in row `row` and cell `cell` of
// JIS X 0208 (both from 1).
std::string Cp932Of(unsigned row, unsigned cell) {
  const unsigned lead = (row + 1) / 2 + (row <= 62 ? 0x80 : 0xC0);
  const unsigned trail = row % 2 == 1 ? cell + (cell <= 63 ? 0x3F : 0x40) : cell + 0x9E;
  return {static_cast<char>(lead), static_cast<char>(trail)};
}

// Random short texts of first- and second-level kanji, kana and half-width
// katakana, all of which are read back as the code page 932 they are.
TEST(EncodingDetectionSweep, ReadsShortCp932TextsAsCp932) {
  std::mt19937 random(20);  // NOLINT(cert-msc32-c,cert-msc51-cpp): the same texts every run
  const auto below = [&random](unsigned bound) { return static_cast<unsigned>(random() % bound); };
  int misread = 0;
  for (int text = 0; text < 3000; ++text) {
    std::string bytes;
    for (unsigned length = 1 + below(8); length != 0; --length) {
      switch (below(4)) {
        case 0: {  // first level: rows 16..47, the last one to cell 51
          const unsigned row = 16 + below(32);
          bytes += Cp932Of(row, 1 + below(row == 47 ? 51 : 94));
          break;
        }
        case 1: {  // second level: rows 48..84, the last one to cell 6
          const unsigned row = 48 + below(37);
          bytes += Cp932Of(row, 1 + below(row == 84 ? 6 : 94));
          break;
        }
        case 2:  // hiragana (row 4) and katakana (row 5)
          bytes += below(2) == 0 ? Cp932Of(4, 1 + below(83)) : Cp932Of(5, 1 + below(86));
          break;
        default:  // half-width katakana
          bytes += static_cast<char>(0xA1 + below(63));
      }
    }
    const DetectedText detected = DecodeDetectedTextFile(bytes);
    if (detected.encoding != TextEncoding::Cp932 ||
        detected.text != DecodeTextFile(bytes, TextEncoding::Cp932)) {
      ADD_FAILURE() << "misread as encoding " << static_cast<int>(detected.encoding) << ": "
                    << testing::PrintToString(bytes);
      ++misread;
    }
  }
  EXPECT_EQ(misread, 0);
}

struct ExplicitCase {
  const char* name;
  std::string_view bytes;
  TextEncoding encoding;
  std::u16string_view text;
};

class ExplicitEncodingTest : public testing::TestWithParam<ExplicitCase> {};

TEST_P(ExplicitEncodingTest, DecodesInTheGivenEncoding) {
  EXPECT_EQ(DecodeTextFile(GetParam().bytes, GetParam().encoding), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Files, ExplicitEncodingTest,
    testing::Values(
        ExplicitCase{"Utf16LeWithoutMark", "\x41\x00\n\x00"sv, TextEncoding::Utf16Le, u"A"},
        ExplicitCase{"Utf16BeMarkSkipped", "\xFE\xFF\x00\x41"sv, TextEncoding::Utf16Be, u"A"},
        ExplicitCase{"Utf16MarkOnlyAtTheStart", "\xFF\xFE\xFF\xFE"sv, TextEncoding::Utf16Le,
                     u"\uFEFF"},
        ExplicitCase{"EucJpBadByteThenGoodCharacter", "\xA4\xA4\xFF\xA4\xA2"sv, TextEncoding::EucJp,
                     u"い\uFFFDあ"},
        ExplicitCase{"Iso2022JpCutOffCharacter", "\x1B$B$\"$"sv, TextEncoding::Iso2022Jp,
                     u"あ\uFFFD"},
        ExplicitCase{"Iso2022JpCrLfInsideKanjiMode", "\x1B$B$\"\r\n$\"\x1B(B"sv,
                     TextEncoding::Iso2022Jp, u"あ\r\nあ"}),
    testing_support::CaseName());

}  // namespace
}  // namespace mirotabe
