#include "core/ruby_spacing.h"

#include <algorithm>

#include "unicode/utf16.h"

namespace mirotabe {

std::size_t ReadingCharacters(std::u16string_view reading) {
  // A low surrogate after a high one is the second half of a character.
  std::size_t characters = reading.size();
  for (std::size_t i = 1; i < reading.size(); ++i) {
    if (IsLowSurrogate(reading[i]) && IsHighSurrogate(reading[i - 1])) --characters;
  }
  return characters;
}

std::uint32_t RubyExtraAdvance(std::size_t readingCharacters, std::uint32_t baseAdvance,
                               std::uint32_t columnAdvance) {
  const std::uint64_t reading =
      std::min(std::uint64_t{readingCharacters} * kRubyAdvance, std::uint64_t{columnAdvance});
  return reading > baseAdvance ? static_cast<std::uint32_t>(reading - baseAdvance) : 0;
}

BaseSpacing ShareBaseSpacing(double extra, std::size_t parts, bool atHead, bool atEnd) {
  BaseSpacing spacing;
  if (!(extra > 0)) return spacing;
  if (parts < 2) {
    // A character alone in its column can only take the space after it.
    if (atEnd && !atHead) {
      spacing.before = extra;
    } else if (atHead) {
      spacing.after = extra;
    } else {
      spacing.before = spacing.after = extra / 2;
    }
    return spacing;
  }
  // In shares: one before, two between each two parts, one after; the
  // share of a side that the column's edge closes goes to the other side.
  double before = atHead ? 0 : 1;
  double after = atEnd ? 0 : 1;
  if (atHead && !atEnd) after = 2;
  if (atEnd && !atHead) before = 2;
  const double share = extra / (before + after + 2 * static_cast<double>(parts - 1));
  spacing.before = before * share;
  spacing.between = 2 * share;
  spacing.after = after * share;
  return spacing;
}

}  // namespace mirotabe
