#include "platform/cp932_pairs.h"

#include <algorithm>

namespace mirotabe {
namespace {

constexpr Cp932Pair kPairs[] = {
#include "platform/cp932_pairs.inc"
};

constexpr char16_t kLowestPaired = [] {
  char16_t lowest = 0xFFFF;
  for (const Cp932Pair& pair : kPairs) lowest = std::min({lowest, pair.typed, pair.stored});
  return lowest;
}();

}  // namespace

std::span<const Cp932Pair> Cp932OneWayPairs() {
  return kPairs;
}

char16_t Cp932ReadBack(char16_t unit) {
  if (unit < kLowestPaired) return unit;
  for (const Cp932Pair& pair : kPairs) {
    if (pair.typed == unit) return pair.stored;
  }
  return unit;
}

bool Cp932Paired(char16_t unit) {
  if (unit < kLowestPaired) return false;
  return std::any_of(std::begin(kPairs), std::end(kPairs), [unit](const Cp932Pair& pair) {
    return pair.typed == unit || pair.stored == unit;
  });
}

}  // namespace mirotabe
