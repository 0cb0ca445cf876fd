// Surrogate pairs of UTF-16: a code point above U+FFFF is written as a high
// surrogate (U+D800..U+DBFF) followed by a low one (U+DC00..U+DFFF).
#pragma once

namespace mirotabe {

// The arguments are char32_t so that a unit and a code point test alike.
constexpr bool IsHighSurrogate(char32_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}
constexpr bool IsLowSurrogate(char32_t unit) {
  return unit >= 0xDC00 && unit <= 0xDFFF;
}
constexpr bool IsSurrogate(char32_t unit) {
  return unit >= 0xD800 && unit <= 0xDFFF;
}

// The code point of the pair `high`, `low`.
constexpr char32_t CombineSurrogates(char32_t high, char32_t low) {
  return 0x10000 + ((high - 0xD800) << 10) + (low - 0xDC00);
}

struct SurrogatePair {
  char16_t high;
  char16_t low;
};

// The pair that writes `c` (U+10000..U+10FFFF).
constexpr SurrogatePair SplitIntoSurrogates(char32_t c) {
  return {static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)),
          static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF))};
}

}  // namespace mirotabe
