// The texts the benchmarks run on: the Japanese Debian Reference, a real
// text that nobody here wrote, in two shapes.
#pragma once

#include <cstddef>
#include <string>

#include "platform/io_error.h"

namespace mirotabe::bench {

struct TextShape {
  std::u16string text;  // the program's text form: CR LF between lines
  std::size_t lines = 0;
  std::size_t longestLine = 0;  // in code points
};

// The UTF-8 text file at `path` in the program's text form.
IoResult<std::u16string> ReadUtf8Text(const std::string& path);

// The text as it is: many short lines.
const TextShape& ReferenceAsIs();

// Each paragraph joined into one line, cut after its first 1,000 lines: few
// long lines.
const TextShape& ReferenceParagraphs();

}  // namespace mirotabe::bench
