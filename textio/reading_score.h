// How much a reading of a file's bytes looks like Japanese text: the
// measure by which the encoding detection (encoding_detection.h) chooses
// between the readings of bytes that no byte-order mark, escape sequence
// or strict UTF-8 settles.
#pragma once

#include <cstddef>
#include <string_view>

namespace mirotabe {

struct ReadingScore {
  // Kana, ideographic punctuation and the full-width forms count most,
  // first-level kanji next; what bytes in another encoding turn into
  // counts against: second-level kanji, half-width katakana, Latin-1,
  // ideographs that code page 932 lacks, other scripts, controls, the
  // user-defined area, and most of all bad bytes.
  int points = 0;
  std::size_t badBytes = 0;  // U+FFFD
  std::size_t faults = 0;    // runs of them
  bool lastWasBad = false;

  // The points of the characters that are no bad byte: whether the reading
  // shows anything of Japanese at all.
  int Evidence() const;
  // Every character but the bad bytes lies in the blocks of ordinary
  // Japanese text and code page 932 holds it, and none is user-defined:
  // what a text written for a Japanese code page holds.
  bool ordinary = true;
  std::size_t kana = 0;          // U+3041..U+30FF
  std::size_t kanaOrSymbol = 0;  // U+3000..U+30FF
  std::size_t wide = 0;          // characters above U+07FF
  std::size_t rareKanji = 0;     // second-level kanji and code page 932's extensions
  std::size_t units = 0;         // all of them, ASCII and bad bytes included
  std::size_t controls = 0;      // C0 but tab, CR and LF; DEL and C1
};

ReadingScore ScoreReading(std::u16string_view text);

}  // namespace mirotabe
