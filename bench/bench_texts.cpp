#include "bench/bench_texts.h"

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <vector>

#include "core/code_points.h"
#include "platform/files.h"
#include "textio/text_file.h"

namespace mirotabe::bench {
namespace {

std::vector<std::u16string> SplitLines(const std::u16string& text) {
  std::vector<std::u16string> lines;
  std::size_t start = 0;
  for (std::size_t brk = text.find(u"\r\n"); brk != std::u16string::npos;
       brk = text.find(u"\r\n", start)) {
    lines.push_back(text.substr(start, brk - start));
    start = brk + 2;
  }
  lines.push_back(text.substr(start));
  return lines;
}

TextShape ShapeOf(const std::vector<std::u16string>& lines) {
  TextShape shape;
  shape.lines = lines.size();
  for (const std::u16string& line : lines) {
    if (&line != &lines.front()) shape.text += u"\r\n";
    shape.text += line;
    std::size_t cells = 0;
    for (std::size_t i = 0; i < line.size(); i += CodePointAt(line, i).units) ++cells;
    shape.longestLine = std::max(shape.longestLine, cells);
  }
  return shape;
}

const std::vector<std::u16string>& ReferenceLines() {
  static const std::vector<std::u16string> lines = [] {
    const char* path = std::getenv("MIROTABE_BENCH_TEXT");
    if (path == nullptr) path = MIROTABE_BENCH_TEXT;
    const IoResult<std::u16string> text = ReadUtf8Text(path);
    if (!text) {
      std::cerr << path << ": " << text.error().Reason()
                << "\nRun scripts/bench.sh, which installs and prepares the text.\n";
      std::exit(1);
    }
    return SplitLines(text.value());
  }();
  return lines;
}

std::size_t Indentation(std::u16string_view line) {
  return std::min(line.find_first_not_of(u' '), line.size());
}

std::u16string_view TrimSpaces(std::u16string_view line) {
  const std::size_t first = line.find_first_not_of(u' ');
  if (first == std::u16string_view::npos) return {};
  return line.substr(first, line.find_last_not_of(u' ') - first + 1);
}

// A paragraph is a run of non-blank lines of the same indentation; a blank
// line stays an empty line.
std::vector<std::u16string> JoinParagraphs(const std::vector<std::u16string>& lines) {
  std::vector<std::u16string> joined;
  bool open = false;
  std::size_t indentation = 0;
  for (const std::u16string& line : lines) {
    const std::u16string_view content = TrimSpaces(line);
    if (content.empty()) {
      joined.emplace_back();
      open = false;
    } else if (open && Indentation(line) == indentation) {
      joined.back() += content;
    } else {
      joined.emplace_back(content);
      indentation = Indentation(line);
      open = true;
    }
  }
  return joined;
}

}  // namespace

IoResult<std::u16string> ReadUtf8Text(const std::string& path) {
  const IoResult<std::string> bytes = ReadFileBytes(path);
  if (!bytes) return bytes.error();
  return DecodeTextFile(bytes.value(), Charset::Utf8);
}

const TextShape& ReferenceAsIs() {
  static const TextShape shape = ShapeOf(ReferenceLines());
  return shape;
}

const TextShape& ReferenceParagraphs() {
  static const TextShape shape = [] {
    std::vector<std::u16string> joined = JoinParagraphs(ReferenceLines());
    joined.resize(std::min<std::size_t>(joined.size(), 1000));
    return ShapeOf(joined);
  }();
  return shape;
}

}  // namespace mirotabe::bench
