// One change of a text, in UTF-16 units: the units [offset, offset +
// removed) of the text before it are [offset, offset + added) after it, and
// the rest is the same.
#pragma once

#include <algorithm>
#include <cstddef>

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

}  // namespace mirotabe
