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

EntryRanges::Rewrite::Rewrite(EntryRanges& ranges, std::size_t fromSize, std::size_t toSize,
                              bool written)
    : ranges_(ranges),
      old_(std::move(ranges.ranges_)),
      fromSize_(fromSize),
      toSize_(toSize),
      written_(written && toSize != 0) {
  ranges.ranges_.clear();
  now_.reserve(old_.size());
}

std::size_t EntryRanges::Rewrite::Shifted(std::size_t unit) const {
  // Never below zero: `unit` lies past the units of the earlier matches.
  return unit + hits_ * toSize_ - hits_ * fromSize_;
}

void EntryRanges::Rewrite::Put(UnitRange range) {
  if (!now_.empty() && range.begin <= now_.back().end) {
    now_.back().end = std::max(now_.back().end, range.end);
  } else {
    now_.push_back(range);
  }
}

void EntryRanges::Rewrite::KeepUntil(std::size_t end) {
  for (; next_ < old_.size(); ++next_) {
    const UnitRange& range = old_[next_];
    const std::size_t begin = std::max(range.begin, keptUpTo_);
    if (begin >= end) return;
    if (begin < range.end) Put({Shifted(begin), Shifted(std::min(range.end, end))});
    // A range that runs on past `end` is looked at again after the match.
    if (range.end > end) return;
  }
}

void EntryRanges::Rewrite::Hit(std::size_t at) {
  KeepUntil(at);
  if (written_) Put({Shifted(at), Shifted(at) + toSize_});
  keptUpTo_ = at + fromSize_;
  ++hits_;
}

void EntryRanges::Rewrite::Finish() {
  KeepUntil(static_cast<std::size_t>(-1));
  ranges_.ranges_ = std::move(now_);
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
