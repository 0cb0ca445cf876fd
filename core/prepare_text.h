// The steps that turn the input text into the text whose lines become the
// columns, before any column is built.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <variant>

#include "core/entry_ranges.h"
#include "core/settings.h"

namespace mirotabe {

// Why a text was not prepared: a step of the replacements or the tabs would
// have made it at least `units` long, more than the `bound` the caller
// gave. Each step that lengthens the text counts its matches before it
// builds anything, so that entries which would make the text thousands of
// times longer are refused in the memory the text already holds.
struct TextTooLong {
  std::size_t units = 0;
  std::size_t bound = 0;

  friend bool operator==(const TextTooLong&, const TextTooLong&) = default;
};

// The prepared text, or why it was not made.
using PreparedText = std::variant<std::u16string, TextTooLong>;

// No bound: for callers whose text is bounded in other ways.
inline constexpr std::size_t kAnyLength = std::numeric_limits<std::size_t>::max();

// Applies the Type 1 entries in table order, each to the result of the ones
// before it: every occurrence of From (as stored, searched left to right,
// without overlaps, inserted text not searched again) becomes To. An empty
// From changes nothing. The two characters of a one-way pair of code page
// 932 (〜 and ～, − and －, ...) count as one in From and in the text, so
// an entry matches the same text before and after a save; the text keeps
// the characters it had wherever nothing replaces them. Given `written`,
// which holds the ranges of the text that entries wrote before, the units
// the entries write are added to it, and it follows the text's changes.
// An entry that would make the text longer than `maxUnits` stops the rest,
// and `written` is then left empty.
PreparedText ApplyWholeTextReplacements(std::u16string text, const SwapTable& table,
                                        EntryRanges* written = nullptr,
                                        std::size_t maxUnits = kAnyLength);

// Every TAB becomes `tabSpace` spaces (none when 0), unless that makes the
// text longer than `maxUnits`. `written` follows the text's changes.
PreparedText ExpandTabs(std::u16string text, std::uint8_t tabSpace, EntryRanges* written = nullptr,
                        std::size_t maxUnits = kAnyLength);

// Whole-text replacements, then tabs, then the full-width mapping (which
// leaves the half-width Latin to the typesetting of pictures and pages
// where `rules` turns it on), under the tab width and the table of
// `rules`, unless a step would make the text
// longer than `maxUnits`. Given `written` (empty), it is given the units of
// the prepared text that the entries wrote.
PreparedText PrepareText(std::u16string_view input, const LayoutRules& rules,
                         EntryRanges* written = nullptr, std::size_t maxUnits = kAnyLength);

// The same, in `input`'s own memory wherever no step makes the text longer.
PreparedText PrepareOwnedText(std::u16string input, const LayoutRules& rules,
                              EntryRanges* written = nullptr, std::size_t maxUnits = kAnyLength);

// The same, in `buffer`'s memory (what it holds is dropped), with room for
// `spare` more units and a little growth. Without whole-text entries and
// tabs the text is mapped as it is copied in.
PreparedText PrepareTextInto(std::u16string_view input, std::u16string&& buffer, std::size_t spare,
                             const LayoutRules& rules, EntryRanges* written = nullptr,
                             std::size_t maxUnits = kAnyLength);

}  // namespace mirotabe
