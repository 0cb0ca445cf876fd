// Stepping through UTF-16 text one code point at a time. A surrogate pair is
// one code point; a lone surrogate stands for itself.
#pragma once

#include <cstddef>
#include <string_view>

namespace mirotabe {

struct CodePoint {
  char32_t value;
  std::size_t units;  // 1, or 2 for a surrogate pair
};

inline bool IsHighSurrogate(char16_t u) {
  return u >= 0xD800 && u <= 0xDBFF;
}
inline bool IsLowSurrogate(char16_t u) {
  return u >= 0xDC00 && u <= 0xDFFF;
}

// The code point that starts at `pos` (< text.size()).
inline CodePoint CodePointAt(std::u16string_view text, std::size_t pos) {
  const char16_t first = text[pos];
  if (IsHighSurrogate(first) && pos + 1 < text.size() && IsLowSurrogate(text[pos + 1])) {
    const char32_t value = 0x10000 + ((char32_t{first} - 0xD800) << 10) + (text[pos + 1] - 0xDC00);
    return {value, 2};
  }
  return {first, 1};
}

}  // namespace mirotabe
