#include "core/prefix_sums.h"

#include <bit>

namespace mirotabe {

PrefixSums::PrefixSums(std::vector<std::size_t> counts) : counts_(std::move(counts)) {
  Build();
}

void PrefixSums::Build() {
  tree_ = counts_;
  total_ = 0;
  for (std::size_t i = 1; i <= tree_.size(); ++i) {
    total_ += counts_[i - 1];
    const std::size_t parent = i + (i & (~i + 1));
    if (parent <= tree_.size()) tree_[parent - 1] += tree_[i - 1];
  }
}

std::size_t PrefixSums::Before(std::size_t index) const {
  std::size_t sum = 0;
  for (std::size_t i = index; i > 0; i &= i - 1) sum += tree_[i - 1];
  return sum;
}

std::size_t PrefixSums::IndexOf(std::size_t unit) const {
  // Down the tree from its largest power of two: `at` ends as the count of
  // leading indices whose sum does not pass `unit`.
  std::size_t at = 0;
  std::size_t rest = unit;
  for (std::size_t step = std::bit_floor(tree_.size()); step != 0; step >>= 1) {
    if (at + step <= tree_.size() && tree_[at + step - 1] <= rest) {
      at += step;
      rest -= tree_[at - 1];
    }
  }
  return at;
}

void PrefixSums::Replace(std::size_t first, std::size_t removed,
                         const std::vector<std::size_t>& added) {
  if (removed == added.size()) {
    for (std::size_t k = 0; k < removed; ++k) {
      const std::size_t index = first + k;
      const std::size_t was = counts_[index];
      counts_[index] = added[k];
      total_ = total_ - was + added[k];
      for (std::size_t i = index + 1; i <= tree_.size(); i += i & (~i + 1)) {
        tree_[i - 1] = tree_[i - 1] - was + added[k];
      }
    }
    return;
  }
  const auto at = counts_.begin() + static_cast<std::ptrdiff_t>(first);
  counts_.erase(at, at + static_cast<std::ptrdiff_t>(removed));
  counts_.insert(counts_.begin() + static_cast<std::ptrdiff_t>(first), added.begin(), added.end());
  Build();
}

}  // namespace mirotabe
