#include "textio/reading_score.h"

#include <algorithm>
#include <array>

#include "platform/charset.h"

namespace mirotabe {
namespace {

// The points of one character. The weights are rough logarithms of how
// much likelier each kind is in Japanese text than in bytes of another
// encoding read wrongly: kana are a third of every Japanese sentence, and
// never come out of misread bytes in runs; a misread file shows half-width
// katakana, rare kanji and other scripts instead.
constexpr int kKana = 2;
constexpr int kFullWidthForm = 1;
constexpr int kFirstLevelKanji = 1;
constexpr int kRare = -1;  // second-level kanji, half-width katakana, Latin-1
constexpr int kSurrogate = -1;
constexpr int kForeign = -3;  // other scripts, ideographs beyond code page 932, user-defined
constexpr int kControl = -4;
constexpr int kBadByte = -3;

// Where code page 932 leaves the symbols, kana and first-level kanji of
// JIS X 0208, the characters of everyday text.
constexpr unsigned kFirstRareCode = 0x989F;

bool IsIdeograph(char16_t unit) {
  return (unit >= 0x3400 && unit <= 0x4DBF) || (unit >= 0x4E00 && unit <= 0x9FFF) ||
         (unit >= 0xF900 && unit <= 0xFAFF);
}

// The blocks that ordinary Japanese text is written in: ASCII and Latin-1,
// general punctuation, CJK symbols and kana, CJK ideographs (and the
// compatibility ideographs of code page 932's extensions), the half- and
// full-width forms; and the blocks of the other symbols of JIS X 0208 and
// code page 932: Greek and Cyrillic letters, arrows (→), mathematical and
// technical signs, ①, box drawing, ■ and ★, ㈱ and ㌔.
bool InJapaneseBlocks(char16_t unit) {
  struct Block {
    char16_t first;
    char16_t last;
  };
  static constexpr std::array<Block, 10> kBlocks = {{{0x0000, 0x00FF},
                                                     {0x0391, 0x0451},
                                                     {0x2000, 0x206F},
                                                     {0x2190, 0x23FF},
                                                     {0x2460, 0x26FF},
                                                     {0x3000, 0x30FF},
                                                     {0x3200, 0x33FF},
                                                     {0x4E00, 0x9FFF},
                                                     {0xF900, 0xFAFF},
                                                     {0xFF00, 0xFFEF}}};
  return std::any_of(kBlocks.begin(), kBlocks.end(), [unit](const Block& block) {
    return unit >= block.first && unit <= block.last;
  });
}

bool IsTextControl(char16_t unit) {
  return unit == u'\t' || unit == u'\n' || unit == u'\r';
}

int PointsOfIdeograph(char16_t unit, ReadingScore& score) {
  const unsigned code = Cp932DoubleByte(unit);
  if (code == 0) return kForeign;
  if (code < kFirstRareCode) return kFirstLevelKanji;
  ++score.rareKanji;
  return kRare;
}

int PointsOf(char16_t unit, ReadingScore& score) {
  if (unit < 0x20 || unit == 0x7F) {
    if (IsTextControl(unit)) return 0;
    ++score.controls;
    return kControl;
  }
  if (unit < 0x80) return 0;
  const bool ordinary = InJapaneseBlocks(unit) && Cp932ByteLength(unit) != 0;
  score.ordinary = score.ordinary && (ordinary || unit == 0xFFFD);
  if (unit < 0xA0) {
    ++score.controls;
    return kControl;
  }
  if (unit <= 0xFF) return kRare;
  if (unit <= 0x7FF) return ordinary ? 0 : kForeign;
  ++score.wide;
  if (unit == 0xFFFD) {
    // A run of bad bytes is one fault: a character cut short gives one
    // U+FFFD for each byte that is left of it.
    ++score.badBytes;
    if (score.lastWasBad) return 0;
    ++score.faults;
    return kBadByte;
  }
  if (unit >= 0xD800 && unit <= 0xDFFF) return kSurrogate;
  if (unit >= 0x3000 && unit <= 0x30FF) {
    ++score.kanaOrSymbol;
    score.kana += unit >= 0x3041 ? 1 : 0;
    return kKana;
  }
  if (IsIdeograph(unit)) return PointsOfIdeograph(unit, score);
  if (unit >= 0xFF61 && unit <= 0xFF9F) return kRare;
  if (unit >= 0xFF01 && unit <= 0xFF5E) return kFullWidthForm;
  return ordinary ? 0 : kForeign;
}

}  // namespace

int ReadingScore::Evidence() const {
  return points - kBadByte * static_cast<int>(faults);
}

ReadingScore ScoreReading(std::u16string_view text) {
  ReadingScore score;
  score.units = text.size();
  for (const char16_t unit : text) {
    score.points += PointsOf(unit, score);
    score.lastWasBad = unit == 0xFFFD;
  }
  return score;
}

}  // namespace mirotabe
