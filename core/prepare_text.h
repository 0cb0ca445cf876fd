// The steps that turn the input text into the text whose lines become the
// columns, before any column is built.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/entry_ranges.h"
#include "core/settings.h"

namespace mirotabe {

// Applies the Type 1 entries in table order, each to the result of the ones
// before it: every occurrence of From (as stored, searched left to right,
// without overlaps, inserted text not searched again) becomes To. An empty
// From changes nothing. The two characters of a one-way pair of code page
// 932 (〜 and ～, − and －, ...) count as one in From and in the text, so
// an entry matches the same text before and after a save; the text keeps
// the characters it had wherever nothing replaces them. Given `written`,
// which holds the ranges of the text that entries wrote before, the units
// the entries write are added to it, and it follows the text's changes.
std::u16string ApplyWholeTextReplacements(std::u16string text, const SwapTable& table,
                                          EntryRanges* written = nullptr);

// Every TAB becomes `tabSpace` spaces (none when 0). `written` follows the
// text's changes.
std::u16string ExpandTabs(std::u16string text, std::uint8_t tabSpace,
                          EntryRanges* written = nullptr);

// Whole-text replacements, then tabs, then the full-width mapping, under
// the tab width and the table of `rules`. Given `written` (empty), it is
// given the units of the prepared text that the entries wrote.
std::u16string PrepareText(std::u16string_view input, const LayoutRules& rules,
                           EntryRanges* written = nullptr);

// The same, in `input`'s own memory wherever no step makes the text longer.
std::u16string PrepareOwnedText(std::u16string input, const LayoutRules& rules,
                                EntryRanges* written = nullptr);

// The same, in `buffer`'s memory (what it holds is dropped), with room for
// `spare` more units and a little growth. Without whole-text entries and
// tabs the text is mapped as it is copied in.
std::u16string PrepareTextInto(std::u16string_view input, std::u16string&& buffer,
                               std::size_t spare, const LayoutRules& rules,
                               EntryRanges* written = nullptr);

}  // namespace mirotabe
