#include "core/prepare_text.h"

#include <algorithm>
#include <vector>

#include "core/fullwidth.h"
#include "platform/cp932_pairs.h"
#include "unicode/simd_scan.h"

namespace mirotabe {
namespace {

// The first place from `pos` on where `text` holds `from` (not empty), or
// npos. Every entry and the tabs are looked for in the whole text, so the
// first unit is searched eight at a time.
std::size_t Find(std::u16string_view text, std::u16string_view from, std::size_t pos) {
  const char16_t first = from.front();
  while (pos + from.size() <= text.size()) {
    pos = scan::FindUnit(text, first, pos);
    if (pos + from.size() > text.size()) break;
    if (text.compare(pos, from.size(), from) == 0) return pos;
    ++pos;
  }
  return std::u16string_view::npos;
}

// Find for a `from` (not empty, every unit in its read-back form) that
// holds a character of a one-way pair of code page 932: each unit of the
// text matches when it reads back as that unit, so that an entry typed
// with 〜 still finds the ～ of a file read from disk, and the other way.
std::size_t FindReadBack(std::u16string_view text, std::u16string_view from, std::size_t pos) {
  std::u16string firsts(1, from.front());
  for (const Cp932Pair& pair : Cp932OneWayPairs()) {
    if (pair.stored == from.front()) firsts.push_back(pair.typed);
  }
  while (pos + from.size() <= text.size()) {
    pos = text.find_first_of(firsts, pos);
    if (pos == std::u16string_view::npos || pos + from.size() > text.size()) break;
    std::size_t matched = 1;
    while (matched < from.size() && Cp932ReadBack(text[pos + matched]) == from[matched]) ++matched;
    if (matched == from.size()) return pos;
    ++pos;
  }
  return std::u16string_view::npos;
}

// Every match of a From of `fromSize` units, found by `find` left to right
// without overlaps, becomes `to`; inserted text is not searched again. The
// text is rewritten in its own memory, so a large text is never held twice.
// With `hits`, the places of the matches in the text before go there.
template <typename FindFrom>
void ReplaceAll(std::u16string& text, std::size_t fromSize, std::u16string_view to, FindFrom find,
                std::vector<std::size_t>* hits = nullptr) {
  using Units = std::u16string::traits_type;
  constexpr std::size_t npos = std::u16string::npos;
  std::size_t hit = find(text, 0);
  // Most entries match nothing in a given text; they cost one search.
  if (hit == npos) return;
  if (to.size() <= fromSize) {
    // Forwards: what is written never passes what is still to be searched.
    std::size_t write = hit;
    std::size_t read = hit;
    for (; hit != npos; hit = find(text, read)) {
      if (hits != nullptr) hits->push_back(hit);
      Units::move(text.data() + write, text.data() + read, hit - read);
      write += hit - read;
      Units::copy(text.data() + write, to.data(), to.size());
      write += to.size();
      read = hit + fromSize;
    }
    Units::move(text.data() + write, text.data() + read, text.size() - read);
    text.resize(write + text.size() - read);
    return;
  }
  // Backwards from the end of the longer text, once every match is known.
  std::vector<std::size_t> own;
  std::vector<std::size_t>& found = hits != nullptr ? *hits : own;
  for (; hit != npos; hit = find(text, hit + fromSize)) found.push_back(hit);
  std::size_t readEnd = text.size();
  text.resize(text.size() + found.size() * (to.size() - fromSize));
  std::size_t writeEnd = text.size();
  for (auto at = found.rbegin(); at != found.rend(); ++at) {
    const std::size_t tail = readEnd - (*at + fromSize);
    Units::move(text.data() + writeEnd - tail, text.data() + *at + fromSize, tail);
    writeEnd -= tail + to.size();
    Units::copy(text.data() + writeEnd, to.data(), to.size());
    readEnd = *at;
  }
}

void ReplaceAll(std::u16string& text, std::u16string_view from, std::u16string_view to,
                std::vector<std::size_t>* hits = nullptr) {
  ReplaceAll(
      text, from.size(), to,
      [from](std::u16string_view t, std::size_t pos) { return Find(t, from, pos); }, hits);
}

// A From without any unit of a pair matches exactly the text it equals;
// only the others need the slower search.
void ReplaceAllAsStored(std::u16string& text, std::u16string_view from, std::u16string_view to,
                        std::vector<std::size_t>* hits) {
  if (std::none_of(from.begin(), from.end(), Cp932Paired)) {
    ReplaceAll(text, from, to, hits);
    return;
  }
  std::u16string readBack(from);
  for (char16_t& unit : readBack) unit = Cp932ReadBack(unit);
  ReplaceAll(
      text, readBack.size(), to,
      [&readBack](std::u16string_view t, std::size_t pos) {
        return FindReadBack(t, readBack, pos);
      },
      hits);
}

// Whether `entry` rewrites the whole text: a Type 1 entry with a From.
bool RewritesText(const SwapEntry& entry) {
  return entry.kind == SwapKind::kWholeText && !entry.from.empty();
}

}  // namespace

std::u16string ApplyWholeTextReplacements(std::u16string text, const SwapTable& table,
                                          EntryRanges* written) {
  std::vector<std::size_t> hits;
  for (const SwapEntry& entry : table) {
    if (!RewritesText(entry)) continue;
    hits.clear();
    ReplaceAllAsStored(text, entry.from, entry.to, written != nullptr ? &hits : nullptr);
    if (written != nullptr) written->Replace(hits, entry.from.size(), entry.to.size(), true);
  }
  return text;
}

std::u16string ExpandTabs(std::u16string text, std::uint8_t tabSpace, EntryRanges* written) {
  if (written == nullptr || written->empty()) {
    ReplaceAll(text, u"\t", std::u16string(tabSpace, u' '));
    return text;
  }
  std::vector<std::size_t> hits;
  ReplaceAll(text, u"\t", std::u16string(tabSpace, u' '), &hits);
  written->Replace(hits, 1, tabSpace, false);
  return text;
}

std::u16string PrepareText(std::u16string_view input, const LayoutRules& rules,
                           EntryRanges* written) {
  return PrepareOwnedText(std::u16string(input), rules, written);
}

std::u16string PrepareOwnedText(std::u16string input, const LayoutRules& rules,
                                EntryRanges* written) {
  std::u16string text = ApplyWholeTextReplacements(std::move(input), rules.table, written);
  text = ExpandTabs(std::move(text), rules.tabSpace, written);
  if (written == nullptr || written->empty()) {
    MapToFullWidth(text);
    return text;
  }
  std::vector<std::size_t> composed;
  MapToFullWidth(text, &composed);
  written->Remove(composed);
  return text;
}

std::u16string PrepareTextInto(std::u16string_view input, std::u16string&& buffer,
                               std::size_t spare, const LayoutRules& rules, EntryRanges* written) {
  const std::size_t room = input.size() + spare;
  if (buffer.capacity() < room) {
    buffer = std::u16string();
    buffer.reserve(room + room / 64);
  }
  const bool wholeText = std::any_of(rules.table.begin(), rules.table.end(), RewritesText);
  // A tab goes before the mapping: removed, it can join a half-width kana
  // to the mark after it.
  if (!wholeText && scan::FindUnit(input, u'\t', 0) == input.size()) {
    buffer.resize(input.size());
    buffer.resize(MapToFullWidth(input, buffer.data()));
    return std::move(buffer);
  }
  buffer.assign(input);
  return PrepareOwnedText(std::move(buffer), rules, written);
}

}  // namespace mirotabe
