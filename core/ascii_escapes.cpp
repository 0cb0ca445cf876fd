#include "core/ascii_escapes.h"

namespace mirotabe {
namespace {

constexpr char16_t kEscape = u'\\';
constexpr std::size_t kHexDigits = 4;

bool IsPrintableAscii(char16_t c) {
  return c >= 0x20 && c <= 0x7E;
}

std::optional<unsigned> HexValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  return std::nullopt;
}

}  // namespace

std::u16string EscapeToAscii(std::u16string_view text) {
  static constexpr char16_t kHex[] = u"0123456789ABCDEF";
  std::u16string ascii;
  ascii.reserve(text.size());
  for (const char16_t c : text) {
    if (c == kEscape) {
      ascii += u"\\\\";
    } else if (IsPrintableAscii(c)) {
      ascii += c;
    } else {
      ascii += u"\\u";
      for (int shift = 12; shift >= 0; shift -= 4) ascii += kHex[(c >> shift) & 0xF];
    }
  }
  return ascii;
}

std::optional<std::u16string> UnescapeAscii(std::u16string_view ascii) {
  std::u16string text;
  text.reserve(ascii.size());
  for (std::size_t at = 0; at < ascii.size();) {
    const char16_t c = ascii[at];
    if (!IsPrintableAscii(c)) return std::nullopt;
    if (c != kEscape) {
      text += c;
      ++at;
      continue;
    }
    if (at + 1 < ascii.size() && ascii[at + 1] == kEscape) {
      text += kEscape;
      at += 2;
      continue;
    }
    if (at + 2 + kHexDigits > ascii.size() || ascii[at + 1] != u'u') return std::nullopt;
    unsigned unit = 0;
    for (std::size_t i = 0; i < kHexDigits; ++i) {
      const std::optional<unsigned> digit = HexValue(ascii[at + 2 + i]);
      if (!digit) return std::nullopt;
      unit = unit * 16 + *digit;
    }
    text += static_cast<char16_t>(unit);
    at += 2 + kHexDigits;
  }
  return text;
}

}  // namespace mirotabe
