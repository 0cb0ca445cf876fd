#include "core/gap_text.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace mirotabe {
namespace {

// Edits anywhere, some larger than any gap, and reads that move the gap
// about: the text reads as a string edited the same way.
TEST(GapTextTest, ReadsAsAStringEditedTheSameWay) {
  std::mt19937 random(20261208);
  std::u16string want = u"始まりの行\r\n";
  GapText text(want);
  for (int step = 0; step < 3000; ++step) {
    const std::size_t offset = random() % (want.size() + 1);
    const std::size_t removed = std::min<std::size_t>(random() % 8, want.size() - offset);
    const std::size_t added = step % 500 == 0 ? 9000 : random() % 4;
    const std::u16string inserted(added, static_cast<char16_t>(u'あ' + step % 80));
    want.replace(offset, removed, inserted);
    text.Replace(offset, removed, inserted);
    ASSERT_EQ(text.size(), want.size());
    const std::size_t from = random() % (want.size() + 1);
    const std::size_t to = from + random() % (want.size() - from + 1);
    ASSERT_EQ(text.Span(from, to), std::u16string_view(want).substr(from, to - from)) << step;
  }
  EXPECT_EQ(text.Text(), want);
}

}  // namespace
}  // namespace mirotabe
