#include "core/entry_ranges.h"

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <utility>

namespace mirotabe {

bool EntryRanges::Contains(std::size_t at) const {
  const auto after =
      std::upper_bound(ranges_.begin(), ranges_.end(), at,
                       [](std::size_t unit, const UnitRange& range) { return unit < range.begin; });
  return after != ranges_.begin() && at < std::prev(after)->end;
}

void EntryRanges::Replace(const std::vector<std::size_t>& hits, std::size_t fromSize,
                          std::size_t toSize, bool written) {
  if (hits.empty() || (ranges_.empty() && !written)) return;
  const auto delta = static_cast<std::ptrdiff_t>(toSize) - static_cast<std::ptrdiff_t>(fromSize);
  const auto shifted = [delta](std::size_t unit, std::size_t hitsBefore) {
    return static_cast<std::size_t>(static_cast<std::ptrdiff_t>(unit) +
                                    static_cast<std::ptrdiff_t>(hitsBefore) * delta);
  };
  // A range loses the units that hits replaced: what is left of it
  // between them moves with the text.
  std::vector<UnitRange> kept;
  kept.reserve(ranges_.size());
  std::size_t next = 0;  // the first hit that ends after `at`
  for (const UnitRange& range : ranges_) {
    for (std::size_t at = range.begin; at < range.end;) {
      while (next < hits.size() && hits[next] + fromSize <= at) ++next;
      if (next < hits.size() && hits[next] <= at) {
        at = hits[next] + fromSize;
        continue;
      }
      const std::size_t end = next < hits.size() ? std::min(range.end, hits[next]) : range.end;
      kept.push_back({shifted(at, next), shifted(end, next)});
      at = end;
    }
  }
  std::vector<UnitRange> added;
  if (written && toSize != 0) {
    added.reserve(hits.size());
    for (std::size_t i = 0; i < hits.size(); ++i) {
      const std::size_t begin = shifted(hits[i], i);
      added.push_back({begin, begin + toSize});
    }
  }
  Merge(std::move(kept), std::move(added));
}

void EntryRanges::Remove(const std::vector<std::size_t>& removed) {
  if (removed.empty() || ranges_.empty()) return;
  const auto moved = [&](std::size_t at) {
    return at - static_cast<std::size_t>(std::lower_bound(removed.begin(), removed.end(), at) -
                                         removed.begin());
  };
  std::vector<UnitRange> kept;
  kept.reserve(ranges_.size());
  for (const UnitRange& range : ranges_) {
    const UnitRange now{moved(range.begin), moved(range.end)};
    if (now.begin < now.end) kept.push_back(now);
  }
  Merge(std::move(kept), {});
}

void EntryRanges::Append(const EntryRanges& other, std::size_t offset) {
  std::vector<UnitRange> added;
  added.reserve(other.ranges_.size());
  for (const UnitRange& range : other.ranges_) {
    added.push_back({range.begin + offset, range.end + offset});
  }
  Merge(std::move(ranges_), std::move(added));
}

// Both lists ascending; ranges that touch or overlap become one.
void EntryRanges::Merge(std::vector<UnitRange> moved, std::vector<UnitRange> added) {
  std::vector<UnitRange> all;
  all.reserve(moved.size() + added.size());
  std::merge(moved.begin(), moved.end(), added.begin(), added.end(), std::back_inserter(all),
             [](const UnitRange& a, const UnitRange& b) { return a.begin < b.begin; });
  ranges_.clear();
  for (const UnitRange& range : all) {
    if (!ranges_.empty() && range.begin <= ranges_.back().end) {
      ranges_.back().end = std::max(ranges_.back().end, range.end);
    } else {
      ranges_.push_back(range);
    }
  }
}

}  // namespace mirotabe
