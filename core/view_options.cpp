#include "core/view_options.h"

#include <algorithm>
#include <cstddef>
#include <iterator>

namespace mirotabe {
namespace {

constexpr int kSizes[] = {6,  7,  8,  9,  10, 11, 12, 14, 16, 18,
                          20, 24, 28, 32, 36, 40, 48, 56, 64, 72};

}  // namespace

int ZoomedFontSize(int size, int steps) {
  const auto count = static_cast<std::ptrdiff_t>(std::size(kSizes));
  // Where `size` is in the list, or the size above it: a size between two
  // goes to the one above it zooming in and the one below it zooming out.
  const std::ptrdiff_t at =
      std::lower_bound(std::begin(kSizes), std::end(kSizes), size) - std::begin(kSizes);
  const bool listed = at < count && kSizes[at] == size;
  const std::ptrdiff_t target = at + steps - (!listed && steps > 0 ? 1 : 0);
  return kSizes[std::clamp<std::ptrdiff_t>(target, 0, count - 1)];
}

}  // namespace mirotabe
