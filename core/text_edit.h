// One change of a text, in UTF-16 units: the units [offset, offset +
// removed) of the text before it are [offset, offset + added) after it, and
// the rest is the same.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string_view>

namespace mirotabe {

struct TextEdit {
  std::size_t offset = 0;
  std::size_t removed = 0;
  std::size_t added = 0;
  bool operator==(const TextEdit&) const = default;
};

// One edit that does what `earlier` and then `later` did.
constexpr TextEdit Combined(const TextEdit& earlier, const TextEdit& later) {
  const std::size_t start = std::min(earlier.offset, later.offset);
  // The end of what either touched, in the text between the two edits.
  const std::size_t between =
      std::max(earlier.offset + earlier.added, later.offset + later.removed);
  const std::size_t endBefore = between - earlier.added + earlier.removed;
  const std::size_t endAfter = between - later.removed + later.added;
  return {start, endBefore - start, endAfter - start};
}

// The one edit that makes `after` of `before`: what they begin and end
// with alike is kept, and no end of the edit parts a surrogate pair or a
// CR LF. For a caller that sees only the texts, not the change: a text box
// of the system's.
constexpr TextEdit EditBetween(std::u16string_view before, std::u16string_view after) {
  const auto parts = [](std::u16string_view text, std::size_t at) {
    if (at == 0 || at >= text.size()) return false;
    const char16_t next = text[at];
    return (next >= 0xDC00 && next <= 0xDFFF) || (text[at - 1] == u'\r' && next == u'\n');
  };
  const std::size_t shorter = std::min(before.size(), after.size());
  std::size_t start = 0;
  while (start < shorter && before[start] == after[start]) ++start;
  while (start > 0 && (parts(before, start) || parts(after, start))) --start;
  std::size_t kept = 0;  // units alike at the end, after `start`
  while (kept < shorter - start &&
         before[before.size() - 1 - kept] == after[after.size() - 1 - kept]) {
    ++kept;
  }
  while (kept > 0 && (parts(before, before.size() - kept) || parts(after, after.size() - kept))) {
    --kept;
  }
  return {start, before.size() - start - kept, after.size() - start - kept};
}

}  // namespace mirotabe
