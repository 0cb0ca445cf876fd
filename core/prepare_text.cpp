#include "core/prepare_text.h"

#include "platform/fullwidth.h"

namespace mirotabe {
namespace {

// Left to right, without overlaps; inserted text is not searched again.
std::u16string ReplaceAll(std::u16string text, std::u16string_view from, std::u16string_view to) {
  std::size_t hit = text.find(from);
  // Most entries match nothing in a given text; they cost one search.
  if (hit == std::u16string::npos) return text;
  std::u16string result;
  result.reserve(text.size());
  std::size_t done = 0;
  for (; hit != std::u16string::npos; hit = text.find(from, done)) {
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
  std::u16string text = ApplyWholeTextReplacements(std::u16string(input), table);
  text = ExpandTabs(std::move(text), tabSpace);
  return ToFullWidth(text);
}

}  // namespace mirotabe
