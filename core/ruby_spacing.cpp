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
                               std::uint32_t columnAdvance, bool wholeCells) {
  const std::uint64_t reading =
      std::min(std::uint64_t{readingCharacters} * kRubyAdvance, std::uint64_t{columnAdvance});
  std::uint64_t extra = reading > baseAdvance ? reading - baseAdvance : 0;
  if (wholeCells) extra = (extra + kEm - 1) / kEm * kEm;
  return static_cast<std::uint32_t>(extra);
}

namespace {

// The shares of a base's space before its first part and after its last:
// one each, two between each two parts; the share of a side that the
// column's edge closes goes to the other side.
struct Shares {
  std::size_t before = 1;
  std::size_t after = 1;
  std::size_t between = 0;

  std::size_t Total() const { return before + after + between; }
};

Shares SharesOf(std::size_t parts, bool atHead, bool atEnd) {
  if (parts < 2) {
    // A character alone in its column can only take the space after it.
    if (atHead) return {0, 1, 0};
    if (atEnd) return {1, 0, 0};
    return {1, 1, 0};
  }
  Shares shares{atHead ? 0U : 1U, atEnd ? 0U : 1U, 2 * (parts - 1)};
  if (atHead && !atEnd) shares.after = 2;
  if (atEnd && !atHead) shares.before = 2;
  return shares;
}

}  // namespace

BaseSpacing ShareBaseSpacing(double extra, std::size_t parts, bool atHead, bool atEnd) {
  BaseSpacing spacing;
  if (!(extra > 0)) return spacing;
  const Shares shares = SharesOf(parts, atHead, atEnd);
  const double share = extra / static_cast<double>(shares.Total());
  spacing.before = static_cast<double>(shares.before) * share;
  spacing.between = parts < 2 ? 0 : 2 * share;
  spacing.after = static_cast<double>(shares.after) * share;
  return spacing;
}

std::vector<std::size_t> ShareBaseCells(std::size_t cells, std::size_t parts, bool atHead,
                                        bool atEnd) {
  parts = std::max<std::size_t>(parts, 1);
  std::vector<std::size_t> gaps(parts + 1, 0);
  const Shares shares = SharesOf(parts, atHead, atEnd);
  const std::size_t total = shares.Total();
  std::size_t weight = 0;
  std::size_t placed = 0;
  for (std::size_t j = 0; j <= parts; ++j) {
    weight += j == 0 ? shares.before : j == parts ? shares.after : 2;
    const std::size_t upTo = (2 * cells * weight + total - 1) / (2 * total);
    gaps[j] = upTo - placed;
    placed = upTo;
  }
  return gaps;
}

}  // namespace mirotabe
