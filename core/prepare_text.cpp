#include "core/prepare_text.h"

#include <algorithm>
#include <optional>
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

// Writes `text` from its unit `start` on, with the match at `hit` and every
// one after it (found by `find`, `fromSize` units each) made `to`, to `out`
// from its unit `start` on; `out` may be `text`'s own memory when `to` is
// not longer than a match, since what is written then never passes what is
// still to be searched. Returns the units written in all.
template <typename FindFrom>
std::size_t WriteReplaced(std::u16string_view text, char16_t* out, std::size_t start,
                          std::size_t hit, std::size_t fromSize, std::u16string_view to,
                          FindFrom find, EntryRanges::Rewrite* follow) {
  using Units = std::u16string::traits_type;
  std::size_t write = start;
  std::size_t read = start;
  for (; hit != std::u16string_view::npos; hit = find(text, read)) {
    if (follow != nullptr) follow->Hit(hit);
    Units::move(out + write, text.data() + read, hit - read);
    write += hit - read;
    Units::copy(out + write, to.data(), to.size());
    write += to.size();
    read = hit + fromSize;
  }
  Units::move(out + write, text.data() + read, text.size() - read);
  return write + text.size() - read;
}

// Every match of a From of `fromSize` units, found by `find` left to right
// without overlaps, becomes `to`; inserted text is not searched again. A
// text that does not grow is rewritten in its own memory, so a large text
// is never held twice. One that grows has its matches counted first and is
// left as it is when it would pass `maxUnits` (false, `reached` how long
// it would be by then); otherwise it is written once into memory of its
// new length, with the room the old one had to spare. `follow`, when
// given, is told each match. `oneUnit`: the From, when it is one unit
// that `find` looks for as it is.
template <typename FindFrom>
bool ReplaceAll(std::u16string& text, std::size_t fromSize, std::u16string_view to, FindFrom find,
                std::optional<char16_t> oneUnit, std::size_t maxUnits, std::size_t& reached,
                EntryRanges::Rewrite* follow) {
  const std::size_t hit = find(text, 0);
  // Most entries match nothing in a given text; they cost one search.
  if (hit == std::u16string::npos) return true;
  if (to.size() <= fromSize) {
    text.resize(WriteReplaced(text, text.data(), hit, hit, fromSize, to, find, follow));
    return true;
  }
  const std::size_t growth = to.size() - fromSize;
  // The matches that fit; the one after them passes the bound.
  const std::size_t fitting = text.size() >= maxUnits ? 0 : (maxUnits - text.size()) / growth;
  std::size_t count = 0;
  if (oneUnit) {
    // Every such unit is a match, counted eight at a time.
    count = scan::CountUnit(text, *oneUnit);
  } else {
    for (std::size_t at = hit; at != std::u16string::npos && count <= fitting;
         at = find(text, at + fromSize)) {
      ++count;
    }
  }
  if (count > fitting) {
    reached = text.size() + (fitting + 1) * growth;
    return false;
  }
  std::u16string grown;
  grown.reserve(text.size() + count * growth + (text.capacity() - text.size()));
  grown.resize(text.size() + count * growth);
  WriteReplaced(text, grown.data(), 0, hit, fromSize, to, find, follow);
  text = std::move(grown);
  return true;
}

bool ReplaceAll(std::u16string& text, std::u16string_view from, std::u16string_view to,
                std::size_t maxUnits, std::size_t& reached,
                EntryRanges::Rewrite* follow = nullptr) {
  return ReplaceAll(
      text, from.size(), to,
      [from](std::u16string_view t, std::size_t pos) { return Find(t, from, pos); },
      from.size() == 1 ? std::optional<char16_t>(from[0]) : std::nullopt, maxUnits, reached,
      follow);
}

// A From without any unit of a pair matches exactly the text it equals;
// only the others need the slower search.
bool ReplaceAllAsStored(std::u16string& text, std::u16string_view from, std::u16string_view to,
                        std::size_t maxUnits, std::size_t& reached, EntryRanges::Rewrite* follow) {
  if (std::none_of(from.begin(), from.end(), Cp932Paired)) {
    return ReplaceAll(text, from, to, maxUnits, reached, follow);
  }
  std::u16string readBack(from);
  for (char16_t& unit : readBack) unit = Cp932ReadBack(unit);
  return ReplaceAll(
      text, readBack.size(), to,
      [&readBack](std::u16string_view t, std::size_t pos) {
        return FindReadBack(t, readBack, pos);
      },
      std::nullopt, maxUnits, reached, follow);
}

// Whether `entry` rewrites the whole text: a Type 1 entry with a From.
bool RewritesText(const SwapEntry& entry) {
  return entry.kind == SwapKind::kWholeText && !entry.from.empty();
}

// The whole-text entries, then the tabs, in `text`'s memory wherever
// nothing grows.
PreparedText ReplaceAndExpand(std::u16string text, const LayoutRules& rules, EntryRanges* written,
                              std::size_t maxUnits) {
  PreparedText replaced =
      ApplyWholeTextReplacements(std::move(text), rules.table, written, maxUnits);
  auto* done = std::get_if<std::u16string>(&replaced);
  if (done == nullptr) return replaced;
  return ExpandTabs(std::move(*done), rules.tabSpace, written, maxUnits);
}

}  // namespace

PreparedText ApplyWholeTextReplacements(std::u16string text, const SwapTable& table,
                                        EntryRanges* written, std::size_t maxUnits) {
  for (const SwapEntry& entry : table) {
    if (!RewritesText(entry)) continue;
    std::size_t reached = 0;
    std::optional<EntryRanges::Rewrite> follow;
    if (written != nullptr) follow.emplace(*written, entry.from.size(), entry.to.size(), true);
    if (!ReplaceAllAsStored(text, entry.from, entry.to, maxUnits, reached,
                            follow ? &*follow : nullptr)) {
      return TextTooLong{reached, maxUnits};
    }
    if (follow) follow->Finish();
  }
  return text;
}

PreparedText ExpandTabs(std::u16string text, std::uint8_t tabSpace, EntryRanges* written,
                        std::size_t maxUnits) {
  std::optional<EntryRanges::Rewrite> follow;
  if (written != nullptr && !written->empty()) follow.emplace(*written, 1, tabSpace, false);
  std::size_t reached = 0;
  if (!ReplaceAll(text, u"\t", std::u16string(tabSpace, u' '), maxUnits, reached,
                  follow ? &*follow : nullptr)) {
    return TextTooLong{reached, maxUnits};
  }
  if (follow) follow->Finish();
  return text;
}

PreparedText PrepareText(std::u16string_view input, const LayoutRules& rules, EntryRanges* written,
                         std::size_t maxUnits) {
  return PrepareOwnedText(std::u16string(input), rules, written, maxUnits);
}

PreparedText PrepareOwnedText(std::u16string input, const LayoutRules& rules, EntryRanges* written,
                              std::size_t maxUnits) {
  PreparedText prepared = ReplaceAndExpand(std::move(input), rules, written, maxUnits);
  auto* text = std::get_if<std::u16string>(&prepared);
  if (text == nullptr) return prepared;
  const bool keepLatin = rules.columns.typesetting.On();
  if (written == nullptr || written->empty()) {
    if (keepLatin) {
      MapToFullWidthKeepingLatin(*text);
    } else {
      MapToFullWidth(*text);
    }
    return prepared;
  }
  std::vector<std::size_t> composed;
  if (keepLatin) {
    MapToFullWidthKeepingLatin(*text, &composed);
  } else {
    MapToFullWidth(*text, &composed);
  }
  written->Remove(composed);
  return prepared;
}

PreparedText PrepareTextInto(std::u16string_view input, std::u16string&& buffer, std::size_t spare,
                             const LayoutRules& rules, EntryRanges* written, std::size_t maxUnits) {
  const std::size_t room = input.size() + spare;
  if (buffer.capacity() < room) {
    buffer = std::u16string();
    buffer.reserve(room + room / 64);
  }
  const bool wholeText = std::any_of(rules.table.begin(), rules.table.end(), RewritesText);
  // A tab goes before the mapping: removed, it can join a half-width kana
  // to the mark after it.
  if (!wholeText && !rules.columns.typesetting.On() &&
      scan::FindUnit(input, u'\t', 0) == input.size()) {
    buffer.resize(input.size());
    buffer.resize(MapToFullWidth(input, buffer.data()));
    return std::move(buffer);
  }
  buffer.assign(input);
  return PrepareOwnedText(std::move(buffer), rules, written, maxUnits);
}

}  // namespace mirotabe
