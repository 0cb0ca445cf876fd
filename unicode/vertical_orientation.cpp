#include "unicode/vertical_orientation.h"

#include <algorithm>
#include <array>
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

// Some 270 runs: a binary search of eight or nine steps.
VerticalOrientation SearchRuns(char32_t c) {
  const auto* const after =
      std::upper_bound(std::begin(kOrientationRuns), std::end(kOrientationRuns), c,
                       [](char32_t value, const OrientationRun& run) { return value < run.first; });
  return std::prev(after)->orientation;
}

// The BMP, where nearly every character of a text lies, one byte a
// character: a picture asks for each of its cells.
using BmpOrientations = std::array<VerticalOrientation, 0x10000>;

const BmpOrientations& Bmp() {
  static const BmpOrientations table = [] {
    BmpOrientations bmp{};
    for (std::size_t n = 0; n < kOrientationRunCount && kOrientationRuns[n].first < 0x10000; ++n) {
      const char32_t end = n + 1 < kOrientationRunCount
                               ? std::min<char32_t>(kOrientationRuns[n + 1].first, 0x10000)
                               : 0x10000;
      std::fill(bmp.begin() + kOrientationRuns[n].first, bmp.begin() + end,
                kOrientationRuns[n].orientation);
    }
    return bmp;
  }();
  return table;
}

}  // namespace

VerticalOrientation VerticalOrientationOf(char32_t c) {
  return c < 0x10000 ? Bmp()[c] : SearchRuns(c);
}

}  // namespace mirotabe
