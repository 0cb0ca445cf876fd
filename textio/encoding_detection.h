// Which encoding a text file's bytes are in, when nobody says. The same
// rules in every build, the browser's included, from the bytes alone.
//
// The rules, in order; the first that applies decides:
// 1. A byte-order mark: UTF-8 (EF BB BF), UTF-16LE (FF FE), UTF-16BE (FE FF).
//    The mark is not part of the text.
// 2. No byte above 0x7F, no ESC and no NUL: code page 932, which reads such
//    bytes as ASCII.
// 3. Strictly valid UTF-8 (no overlong forms, no surrogates) without a NUL:
//    UTF-8, unless code page 932 reads the same bytes cleanly too (no bad
//    byte and no user-defined character) and the UTF-8 reading holds a
//    character outside ordinary Japanese text (ASCII and Latin-1, general
//    punctuation, CJK symbols and kana, CJK ideographs, the half- and
//    full-width forms), or is too short to say anything: its only
//    characters beyond ASCII are Latin-1 letters, or one kanji beyond the
//    first level of JIS X 0208. Then code page 932. Short code page 932
//    texts are often valid UTF-8: 篝ヘ (E2 BE 83 77) reads as ⾃w, ﾃｽ (C3 BD)
//    as ý, and 陟｡ (E8 A0 A1) as the lone kanji 蠡. The price: a UTF-8 file
//    whose only non-ASCII characters are such a kanji, accented Latin
//    letters ("café"), or a symbol such as an arrow, reads as code page 932
//    when that reads it cleanly ("cafﾃｩ"); a byte-order mark settles it.
// 4. An escape sequence that designates a JIS set (ESC $ B, ESC $ @,
//    ESC ( J, ESC ( I, and JIS X 0213's ESC $ ( O, Q and P): ISO-2022-JP.
// 5. ASCII with other escape sequences: code page 932, and the detection is
//    not sure.
// 6. Otherwise the bytes are read in code page 932, EUC-JP, UTF-8 and
//    UTF-16 (both byte orders), and the reading that looks most like
//    Japanese text wins (reading_score.h), weighed on a sample of at most
//    64 KiB. Two readings give way to a clean code page 932 one unless they
//    are everyday Japanese (kana among them, no rare kanji): EUC-JP, since
//    half-width katakana pair up into EUC-JP kanji, and UTF-16 without a
//    NUL byte, which a few characters of code page 932 make as readily.
//    A reading with bad bytes never wins over a clean one (no U+FFFD) in
//    another encoding, except as damage to a long text: at most one run of
//    bad bytes in 64 characters beyond ASCII, beside a clean reading that is
//    plainly no Japanese (not everyday Japanese, and scoring below the
//    damaged reading's characters). So a short text is never read with
//    bytes lost where another encoding reads them all: 蝎嶽絲 in code page
//    932 (E5 99 9B D4 E3 4E) is no UTF-8 噛 and two bad bytes.
//    When the winner has bad bytes and shows nothing Japanese beside them,
//    code page 932, and the detection is not sure.
//
// Bad bytes never stop the reading: each gives one U+FFFD (see Decode).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "platform/charset.h"

namespace mirotabe {

struct DetectedEncoding {
  TextEncoding encoding = TextEncoding::Cp932;
  // False when the encoding is a guess (rules 5 and 6).
  bool sure = true;
  // The byte-order mark that starts the bytes, which is no part of the text.
  std::size_t markBytes = 0;
  // The decoded bytes, where a rule read them to decide; line breaks as in
  // the file. Otherwise the caller decodes them, and may first learn the
  // length of the text and decide not to.
  std::optional<std::u16string> text{};
  // The units decoding gives, where a rule counted them without decoding.
  std::optional<std::size_t> units{};
};

DetectedEncoding DetectEncoding(std::string_view bytes);

// The bytes of the byte-order mark of `encoding` that starts `bytes`; 0
// when none does, and always in the encodings that have none.
std::size_t ByteOrderMarkBytes(std::string_view bytes, TextEncoding encoding);

}  // namespace mirotabe
