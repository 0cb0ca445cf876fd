// Code page 932 as the system's iconv converts it, in tables generated at
// build time from iconv itself.
#pragma once

#include <cstdint>

namespace mirotabe {

// Indexed by UTF-16 unit: 0 when code page 932 cannot hold the character
// (surrogates included); a value below 0x100 is one byte; any other value
// is two bytes, lead byte first: value >> 8, then value & 0xFF. ASCII
// (U+0000 included, whose byte is 0) is written as it is, not looked up.
// No character above U+FFFF has a code (the build checks it).
extern const std::uint16_t kCp932OfBmp[0x10000];

// What a byte alone reads as: its unit, or 0 when it is no character on
// its own (a lead byte, or a byte without a character). Byte 0 reads as
// U+0000, as every ASCII byte reads as itself.
extern const char16_t kBmpOfCp932Byte[0x100];

// What lead byte 0x80 + i followed by trail byte t reads as:
// kBmpOfCp932Pair[i][t], or 0 when the pair is no character.
extern const char16_t kBmpOfCp932Pair[0x80][0x100];

}  // namespace mirotabe
