#include "command/terminal_text.h"

#include <cstddef>

namespace mirotabe {
namespace {

void AppendByteEscape(std::string& out, unsigned char byte) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  out += "\\x";
  out += kHex[byte >> 4];
  out += kHex[byte & 0x0F];
}

// The length of the valid UTF-8 sequence at `at`, or 0.
std::size_t SequenceLength(std::string_view text, std::size_t at) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(at);
  std::size_t length = 0;
  char32_t value = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    value = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    value = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    value = lead & 0x07;
  } else {
    return 0;
  }
  if (at + length > text.size()) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(at + i) & 0xC0) != 0x80) return 0;
    value = (value << 6) | (byte(at + i) & 0x3F);
  }
  // Overlong forms, surrogates and values past Unicode are not valid.
  const char32_t least = length == 3 ? 0x800 : length == 4 ? 0x10000 : 0x80;
  if (value < least || (value >= 0xD800 && value <= 0xDFFF) || value > 0x10FFFF) return 0;
  return length;
}

}  // namespace

std::string TerminalText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    const auto byte = static_cast<unsigned char>(text[at]);
    if (byte >= 0x20 && byte < 0x7F) {
      out += static_cast<char>(byte);
      ++at;
      continue;
    }
    if (byte == '\t' || byte == '\n' || byte == '\r') {
      out += byte == '\t' ? "\\t" : byte == '\n' ? "\\n" : "\\r";
      ++at;
      continue;
    }
    const std::size_t length = byte >= 0x80 ? SequenceLength(text, at) : 0;
    // U+0080..U+009F, the C1 controls, are C2 80..C2 9F.
    const bool c1 = length == 2 && byte == 0xC2 && static_cast<unsigned char>(text[at + 1]) < 0xA0;
    if (length == 0 || c1) {
      AppendByteEscape(out, byte);
      ++at;
      continue;
    }
    out.append(text.substr(at, length));
    at += length;
  }
  return out;
}

}  // namespace mirotabe
