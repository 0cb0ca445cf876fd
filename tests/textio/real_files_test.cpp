// The encoding detection on the table of real files (real_files.h): every
// file read as it was written, but for a few short ones that read as well
// in code page 932, and nowhere worse than uchardet reads them.
#include "tests/textio/real_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <string_view>

#include "tests/textio/uchardet_guess.h"
#include "textio/text_file.h"

namespace mirotabe {
namespace {

using testing_support::RealFile;
using testing_support::RealFiles;

// Past a line's worth of characters every file reads as it was written.
constexpr std::size_t kSettledLength = 20;

// The short files that read as code page 932, as they did when uchardet
// guessed: each is as much code page 932 as it is what it was written in.
constexpr std::array<std::string_view, 36> kReadAsCp932 = {
    // UTF-16 without a mark and without an ASCII character, so with no
    // NUL byte: most are plain ASCII bytes ("です。" is g0Y0\x02 0), the
    // others no everyday Japanese in UTF-16 (a second-level kanji,
    // half-width katakana, kanji and digits without kana).
    "utf-16le あいう", "utf-16be あいう", "utf-16le 縦", "utf-16be 縦", "utf-16le 漢",
    "utf-16be 漢", "utf-16le 書", "utf-16be 書", "utf-16le 鬱", "utf-16be 鬱", "utf-16le カタカナ",
    "utf-16be カタカナ", "utf-16le 日本語", "utf-16be 日本語", "utf-16le 「はい」",
    "utf-16be 「はい」", "utf-16le １２３円", "utf-16be １２３円", "utf-16le ﾃｽﾄ", "utf-16be ﾃｽﾄ",
    "utf-16le 東京都", "utf-16be 東京都", "utf-16le です。", "utf-16be です。", "utf-16le 表示",
    "utf-16be 表示",
    // Kanji without kana in EUC-JP, whose bytes are half-width katakana
    // of code page 932 (縦 is ﾃﾄ), and the reverse (ﾃｽﾄ is three kanji).
    "euc-jp 縦", "euc-jp 漢", "euc-jp 鬱", "euc-jp １２３円", "euc-jp ﾃｽﾄ", "euc-jp 表示",
    // A lone second-level kanji in UTF-8: a kanji and a half-width
    // katakana of code page 932 (鬱 is 鬯ｱ).
    "utf-8 鬱",
    // Too little left around a character cut short.
    "utf-8 Qt 6で cut", "euc-jp Qt 6で cut", "euc-jp abc縦書きdef cut"};

// Short damaged files that another encoding reads with no bad byte: a few
// characters are too few to tell damage from a wrong guess, and a guess
// never loses bytes that another reading keeps.
constexpr std::array<std::string_view, 6> kReadCleanlyElsewhere = {
    "utf-8 こんにちは cut", "utf-8 abc縦書きdef cut", "utf-8 5 at 3 cut",
    "utf-8 5 at 4 cut",     "utf-8 13 at 0 cut",      "euc-jp ひらがなだけ cut"};

bool ReadsCleanlyElsewhere(const RealFile& file) {
  return std::find(kReadCleanlyElsewhere.begin(), kReadCleanlyElsewhere.end(), file.name) !=
         kReadCleanlyElsewhere.end();
}

bool ReadsAsCp932(const RealFile& file) {
  return std::find(kReadAsCp932.begin(), kReadAsCp932.end(), file.name) != kReadAsCp932.end();
}

TEST(RealFilesTest, ReadAsWritten) {
  int checked = 0;
  for (const RealFile& file : RealFiles()) {
    if (file.shortText.empty() && file.characters < kSettledLength) continue;
    ++checked;
    const DetectedText read = DecodeDetectedTextFile(file.bytes);
    if (ReadsCleanlyElsewhere(file)) {
      EXPECT_EQ(read.text.find(u'\uFFFD'), std::u16string::npos) << file.name;
      EXPECT_EQ(read.undecodable.count, 0U) << file.name;
      continue;
    }
    if (ReadsAsCp932(file)) {
      EXPECT_EQ(read.encoding, TextEncoding::Cp932) << file.name;
      EXPECT_EQ(read.text, DecodeTextFile(file.bytes, TextEncoding::Cp932)) << file.name;
      continue;
    }
    EXPECT_EQ(read.encoding, file.encoding) << file.name;
    EXPECT_EQ(read.text, file.text) << file.name;
  }
  EXPECT_GT(checked, 800);
}

// uchardet is the yardstick: wherever it names the encoding a file was
// written in, the detection reads the file right too, short files of a
// character or two included.
TEST(RealFilesTest, RightWhereverUchardetIs) {
  int named = 0;
  for (const RealFile& file : RealFiles()) {
    if (testing_support::UchardetGuess(file.bytes) != file.encoding) continue;
    if (ReadsCleanlyElsewhere(file)) continue;
    ++named;
    EXPECT_EQ(DecodeDetectedTextFile(file.bytes).text, file.text) << file.name;
  }
  EXPECT_GT(named, 500);
}

}  // namespace
}  // namespace mirotabe
