#include "core/command_line.h"

namespace mirotabe {
namespace {

// The size of the last character of `text`: its whole UTF-8 sequence when
// it ends in one, else its last byte.
std::size_t LastCharacterSize(const std::string& text) {
  std::size_t start = text.size() - 1;
  while (start > 0 && text.size() - start < 4 && (text[start] & 0xC0) == 0x80) --start;
  const auto lead = static_cast<unsigned char>(text[start]);
  const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
  return length == text.size() - start ? length : 1;
}

}  // namespace

StartupFileName ParseStartupFileName(const std::vector<std::string>& arguments) {
  std::string line;
  for (const std::string& argument : arguments) {
    if (&argument != &arguments.front()) line += ' ';
    line += argument;
  }
  if (line.empty()) return {};
  if (line.front() != '"') return {StartupFileName::Kind::kName, line};
  const std::size_t last = LastCharacterSize(line);
  if (last == line.size()) return {StartupFileName::Kind::kUnclosedQuote, {}};
  return {StartupFileName::Kind::kName, line.substr(1, line.size() - 1 - last)};
}

}  // namespace mirotabe
