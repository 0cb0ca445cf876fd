#include "core/prefix_sums.h"

#include <gtest/gtest.h>

#include <numeric>
#include <random>
#include <vector>

namespace mirotabe {
namespace {

// Against plain sums, through changes of single counts and splices that
// insert and remove counts, zeros among them (which hold no unit).
TEST(PrefixSumsTest, AgreesWithPlainSumsThroughChanges) {
  std::mt19937 random(11);
  std::vector<std::size_t> plain(37);
  for (std::size_t& count : plain) count = random() % 4;
  PrefixSums sums(plain);
  for (int step = 0; step < 300; ++step) {
    const std::size_t first = random() % (plain.size() + 1);
    const std::size_t removed = std::min<std::size_t>(random() % 3, plain.size() - first);
    std::vector<std::size_t> added(step % 2 == 0 ? removed : random() % 3);
    for (std::size_t& count : added) count = random() % 5;
    plain.erase(plain.begin() + static_cast<std::ptrdiff_t>(first),
                plain.begin() + static_cast<std::ptrdiff_t>(first + removed));
    plain.insert(plain.begin() + static_cast<std::ptrdiff_t>(first), added.begin(), added.end());
    sums.Replace(first, removed, added);

    ASSERT_EQ(sums.size(), plain.size());
    ASSERT_EQ(sums.Total(), std::accumulate(plain.begin(), plain.end(), std::size_t{0}));
    std::size_t before = 0;
    for (std::size_t i = 0; i < plain.size(); ++i) {
      ASSERT_EQ(sums.Before(i), before) << i;
      ASSERT_EQ(sums[i], plain[i]);
      for (std::size_t unit = before; unit < before + plain[i]; ++unit) {
        ASSERT_EQ(sums.IndexOf(unit), i) << unit;
      }
      before += plain[i];
    }
  }
}

}  // namespace
}  // namespace mirotabe
