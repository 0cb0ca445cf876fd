// Which encoding a text file's bytes are in, when nobody says.
//
// The rules, in order; the first that applies decides:
// 1. A byte-order mark: UTF-8 (EF BB BF), UTF-16LE (FF FE), UTF-16BE (FE FF).
//    The mark is not part of the text.
// 2. No byte above 0x7F and no ESC: code page 932, which reads such bytes as
//    ASCII.
// 3. Strictly valid UTF-8 (no overlong forms, no surrogates): UTF-8, unless
//    the same bytes are valid code page 932 too and either
//    a. no character of the UTF-8 reading lies above U+07FF, or
//    b. uchardet takes the bytes for Shift_JIS;
//    then code page 932. Every kana, kanji and full-width form lies above
//    U+07FF, so a Japanese UTF-8 text keeps its reading; while a short code
//    page 932 text in half-width katakana, such as ﾃｽ (C3 BD), is also
//    valid UTF-8 and would read as Latin letters (ý). The price: a UTF-8
//    text whose only non-ASCII characters are accented Latin, Greek or
//    Cyrillic letters and also happens to be valid code page 932 ("café")
//    reads as code page 932 ("cafﾃｩ"); a byte-order mark settles it.
// 4. uchardet names EUC-JP, ISO-2022-JP or Shift_JIS (read as code page
//    932): that encoding, unless it finds bad bytes where code page 932
//    finds none, in which case code page 932.
// 5. Otherwise code page 932, and the detection is not sure.
//
// Bad bytes never stop the reading: each gives one U+FFFD (see Decode).
#pragma once

#include <string>
#include <string_view>

#include "platform/charset.h"

namespace mirotabe {

struct DetectedReading {
  TextEncoding encoding = TextEncoding::Cp932;
  // False when rule 5 decided: the encoding is a guess.
  bool sure = true;
  // The decoded bytes, without the byte-order mark; line breaks as in the file.
  std::u16string text;
};

DetectedReading ReadInDetectedEncoding(std::string_view bytes);

}  // namespace mirotabe
