// The bytes of code page 932 (Shift_JIS as Windows writes it): a lead byte
// starts a two-byte character, and a trail byte may complete one. Every
// other byte is a character of its own.
#pragma once

namespace mirotabe {

// 0x81..0x9F and 0xE0..0xFC.
constexpr bool IsCp932LeadByte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// 0x40..0xFC except 0x7F. Trail bytes below 0x80 look like ASCII, so text
// of this code page is never cut between a lead byte and its trail byte.
constexpr bool IsCp932TrailByte(unsigned char byte) {
  return byte >= 0x40 && byte <= 0xFC && byte != 0x7F;
}

}  // namespace mirotabe
