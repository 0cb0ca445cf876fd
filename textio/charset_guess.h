// A guess at the encoding of bytes that neither a byte-order mark nor
// strict UTF-8 settles, for the encoding detection (encoding_detection.h).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace mirotabe {

// The encoding `bytes` look like, in upper case: "SHIFT_JIS", "EUC-JP",
// "ISO-2022-JP", another encoding's name, or "" when there is no telling.
// `firstInteresting` is the index of the first byte above 0x7F or ESC.
//
// The desktop asks uchardet. The browser's build has no uchardet and goes
// by the bytes alone (GuessCharsetByRules).
std::string GuessCharset(std::string_view bytes, std::size_t firstInteresting);

// The guess from the bytes alone: escape sequences that designate JIS sets
// make ISO-2022-JP; then strict UTF-8; then code page 932 when it reads
// the bytes without a bad one, else EUC-JP when that does; else no telling.
std::string GuessCharsetByRules(std::string_view bytes, std::size_t firstInteresting);

}  // namespace mirotabe
