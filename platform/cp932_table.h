// What each BMP character becomes in code page 932, as the system's iconv
// encodes it; generated at build time from iconv itself.
#pragma once

#include <cstdint>

namespace mirotabe {

// Indexed by UTF-16 unit: 0 when code page 932 cannot hold the character
// (surrogates included); a value below 0x100 is one byte; any other value
// is two bytes, lead byte first: value >> 8, then value & 0xFF. ASCII
// (U+0000 included, whose byte is 0) is written as it is, not looked up.
extern const std::uint16_t kCp932OfBmp[0x10000];

}  // namespace mirotabe
