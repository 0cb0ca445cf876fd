#include "unicode/vertical_orientation.h"

#include <algorithm>
#include <cstddef>
#include <iterator>

namespace mirotabe {
namespace {

// From `first` up to the next run's first code point, every code point is
// of `orientation`.
struct OrientationRun {
  char32_t first;
  VerticalOrientation orientation;
};

#include "unicode/vertical_orientation_runs.inc"

static_assert(kOrientationRuns[0].first == 0);

}  // namespace

VerticalOrientation VerticalOrientationOf(char32_t c) {
  // Some 270 runs: a binary search of eight or nine steps.
  const auto* const after =
      std::upper_bound(std::begin(kOrientationRuns), std::end(kOrientationRuns), c,
                       [](char32_t value, const OrientationRun& run) { return value < run.first; });
  return std::prev(after)->orientation;
}

}  // namespace mirotabe
