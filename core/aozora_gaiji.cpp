#include "core/aozora_gaiji.h"

#include <cstddef>

#include "platform/jis_decoding.h"
#include "unicode/utf16.h"

namespace mirotabe {
namespace {

int DigitValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'０' && c <= u'９') return c - u'０';
  return -1;
}

int HexValue(char16_t c) {
  if (const int digit = DigitValue(c); digit >= 0) return digit;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  return -1;
}

// The decimal number at `pos` (at most three digits), moving `pos` past it.
std::optional<int> NumberAt(std::u16string_view text, std::size_t& pos) {
  int value = 0;
  std::size_t digits = 0;
  while (pos < text.size() && DigitValue(text[pos]) >= 0 && digits < 3) {
    value = value * 10 + DigitValue(text[pos++]);
    ++digits;
  }
  if (digits == 0 || (pos < text.size() && DigitValue(text[pos]) >= 0)) return std::nullopt;
  return value;
}

bool IsDash(char16_t c) {
  return c == u'-' || c == u'－';
}

// The character of a plane-row-cell number starting at `pos`, if one does.
std::optional<std::u16string> PlaneRowCellAt(std::u16string_view text, std::size_t pos) {
  const std::optional<int> plane = NumberAt(text, pos);
  if (!plane || pos >= text.size() || !IsDash(text[pos++])) return std::nullopt;
  const std::optional<int> row = NumberAt(text, pos);
  if (!row || pos >= text.size() || !IsDash(text[pos++])) return std::nullopt;
  const std::optional<int> cell = NumberAt(text, pos);
  // A third dash makes it something else (a page-line reference of a
  // longer form).
  if (!cell || (pos < text.size() && IsDash(text[pos]))) return std::nullopt;
  return Jisx0213Character(*plane, *row, *cell);
}

// The character of U+XXXX at `pos`, if one does.
std::optional<std::u16string> CodePointAt(std::u16string_view text, std::size_t pos) {
  if (pos + 2 >= text.size() || (text[pos] != u'U' && text[pos] != u'u') || text[pos + 1] != u'+') {
    return std::nullopt;
  }
  char32_t c = 0;
  std::size_t digits = 0;
  for (pos += 2; pos < text.size() && HexValue(text[pos]) >= 0 && digits < 7; ++pos, ++digits) {
    c = c * 16 + static_cast<char32_t>(HexValue(text[pos]));
  }
  if (digits < 4 || digits > 6 || c > 0x10FFFF || IsSurrogate(c)) return std::u16string();
  if (c < 0x10000) return std::u16string(1, static_cast<char16_t>(c));
  const SurrogatePair pair = SplitIntoSurrogates(c);
  return std::u16string{pair.high, pair.low};
}

// Where a note's codes begin, and whether its description makes it a
// note even without one.
struct NoteCodes {
  std::size_t from = 0;
  bool described = false;
};

// The description comes first, quoted or bare; the codes follow it after
// 、, and what the description says never counts as one. A quoted
// description may go on past its quote (「插」でつくりの縦棒が…); a bare one
// is a note when a page-line reference follows it (小書き片仮名ヰ、391-6),
// where a code would otherwise stand.
std::optional<NoteCodes> CodesOf(std::u16string_view content) {
  if (content.empty() || content.front() != u'「') {
    const std::size_t comma = content.find(u'、');
    if (comma == std::u16string_view::npos) return std::nullopt;
    return NoteCodes{comma + 1, comma + 1 < content.size() && DigitValue(content[comma + 1]) >= 0};
  }
  if (const std::size_t close = content.rfind(u"」、"); close != std::u16string_view::npos) {
    return NoteCodes{close + 2, true};
  }
  const std::size_t close = content.find(u'」');
  if (close == std::u16string_view::npos) return std::nullopt;
  const std::size_t comma = content.find(u'、', close);
  if (comma == std::u16string_view::npos) return std::nullopt;
  return NoteCodes{comma + 1, true};
}

}  // namespace

std::optional<GaijiNote> ReadGaijiNote(std::u16string_view content) {
  const std::optional<NoteCodes> found = CodesOf(content);
  if (!found) return std::nullopt;
  const std::size_t codes = found->from;
  const bool described = found->described;
  for (std::size_t pos = codes; pos < content.size(); ++pos) {
    // Each field starts after 、 or after "第N水準".
    const bool fieldStart = pos == codes || content[pos - 1] == u'、' ||
                            (pos >= 2 && content.substr(pos - 2, 2) == u"水準");
    if (!fieldStart) continue;
    if (std::optional<std::u16string> character = CodePointAt(content, pos)) {
      if (!character->empty()) return GaijiNote{std::move(*character)};
      continue;
    }
    if (std::optional<std::u16string> character = PlaneRowCellAt(content, pos)) {
      if (!character->empty()) return GaijiNote{std::move(*character)};
      continue;
    }
    if (content.substr(pos).starts_with(u"第")) {
      const std::size_t level = content.find(u"水準", pos);
      if (level != std::u16string_view::npos) pos = level + 1;
    }
  }
  if (!described) return std::nullopt;
  return GaijiNote{};
}

}  // namespace mirotabe
