// Stepping through UTF-16 text one code point at a time. A surrogate pair is
// one code point; a lone surrogate stands for itself.
#pragma once

#include <cstddef>
#include <string_view>

#include "unicode/utf16.h"

namespace mirotabe {

struct CodePoint {
  char32_t value;
  std::size_t units;  // 1, or 2 for a surrogate pair
};

// The code point that starts at `pos` (< text.size()).
inline CodePoint CodePointAt(std::u16string_view text, std::size_t pos) {
  const char16_t first = text[pos];
  if (IsHighSurrogate(first) && pos + 1 < text.size() && IsLowSurrogate(text[pos + 1])) {
    return {CombineSurrogates(first, text[pos + 1]), 2};
  }
  return {first, 1};
}

}  // namespace mirotabe
