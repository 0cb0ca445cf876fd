#include "core/prepare_text.h"

#include "platform/fullwidth.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace mirotabe {
namespace {

// The first place from `pos` on where `text` holds `from` (not empty), or
// npos. Every entry and the tabs are looked for in the whole text, so the
// first unit is searched eight at a time.
std::size_t Find(std::u16string_view text, std::u16string_view from, std::size_t pos) {
  const char16_t first = from.front();
  while (pos + from.size() <= text.size()) {
#ifdef __SSE2__
    const __m128i wanted = _mm_set1_epi16(static_cast<short>(first));
    while (pos + 8 <= text.size()) {
      const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + pos));
      if (_mm_movemask_epi8(_mm_cmpeq_epi16(units, wanted)) != 0) break;
      pos += 8;
    }
#endif
    pos = text.find(first, pos);
    if (pos == std::u16string_view::npos || pos + from.size() > text.size()) break;
    if (text.compare(pos, from.size(), from) == 0) return pos;
    ++pos;
  }
  return std::u16string_view::npos;
}

// Left to right, without overlaps; inserted text is not searched again.
std::u16string ReplaceAll(std::u16string text, std::u16string_view from, std::u16string_view to) {
  std::size_t hit = Find(text, from, 0);
  // Most entries match nothing in a given text; they cost one search.
  if (hit == std::u16string::npos) return text;
  std::u16string result;
  result.reserve(text.size());
  std::size_t done = 0;
  for (; hit != std::u16string::npos; hit = Find(text, from, done)) {
    result.append(text, done, hit - done).append(to);
    done = hit + from.size();
  }
  result.append(text, done);
  return result;
}

}  // namespace

std::u16string ApplyWholeTextReplacements(std::u16string text, const SwapTable& table) {
  for (const SwapEntry& entry : table) {
    if (entry.Type != 1 || entry.From.empty()) continue;
    text = ReplaceAll(std::move(text), entry.From, entry.To);
  }
  return text;
}

std::u16string ExpandTabs(std::u16string text, std::uint8_t tabSpace) {
  return ReplaceAll(std::move(text), u"\t", std::u16string(tabSpace, u' '));
}

std::u16string PrepareText(std::u16string_view input, std::uint8_t tabSpace,
                           const SwapTable& table) {
  return PrepareOwnedText(std::u16string(input), tabSpace, table);
}

std::u16string PrepareOwnedText(std::u16string input, std::uint8_t tabSpace,
                                const SwapTable& table) {
  std::u16string text = ApplyWholeTextReplacements(std::move(input), table);
  text = ExpandTabs(std::move(text), tabSpace);
  MapToFullWidth(text);
  return text;
}

}  // namespace mirotabe
