// A list of counts that answers "how many before index i" and "which
// index holds the n-th unit" in logarithmic time, and changes one count in
// logarithmic time too (a Fenwick tree). Inserting or removing counts
// builds it again, in linear time.
#pragma once

#include <cstddef>
#include <vector>

namespace mirotabe {

class PrefixSums {
 public:
  PrefixSums() = default;
  explicit PrefixSums(std::vector<std::size_t> counts);

  std::size_t size() const { return counts_.size(); }
  bool empty() const { return counts_.empty(); }
  std::size_t operator[](std::size_t index) const { return counts_[index]; }
  // The sum of the counts before `index` (<= size()).
  std::size_t Before(std::size_t index) const;
  std::size_t Total() const { return total_; }
  // The index whose span [Before(i), Before(i) + count) holds `unit`
  // (< Total()); counts of 0 hold nothing.
  std::size_t IndexOf(std::size_t unit) const;

  // Replaces the `removed` counts from `first` by `added`.
  void Replace(std::size_t first, std::size_t removed, const std::vector<std::size_t>& added);

 private:
  void Build();

  std::vector<std::size_t> counts_;
  std::vector<std::size_t> tree_;  // tree_[i - 1] sums counts (i - lowbit(i), i]
  std::size_t total_ = 0;
};

}  // namespace mirotabe
