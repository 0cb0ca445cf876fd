// Texts of many equal lines in the program's form, for tests that need a
// large layout.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace mirotabe::testing_support {

// `count` copies of `line`, separated by CR LF.
inline std::u16string Lines(std::size_t count, std::u16string_view line) {
  std::u16string text;
  for (std::size_t i = 0; i < count; ++i) {
    if (i != 0) text += u"\r\n";
    text += line;
  }
  return text;
}

}  // namespace mirotabe::testing_support
