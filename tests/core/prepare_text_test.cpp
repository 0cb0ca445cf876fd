#include "core/prepare_text.h"

#include <gtest/gtest.h>

namespace mirotabe {
namespace {

// Long texts are searched eight units at a time: occurrences must be found
// at every offset, across block edges, and near-misses skipped.
TEST(PrepareTextTest, ReplacesAtEveryOffsetOfALongText) {
  SwapTable table;
  table.Append({u"ab", u"X", 1});
  for (std::size_t offset = 0; offset < 20; ++offset) {
    const std::u16string head(offset, u'x');
    const std::u16string tail(17, u'y');
    const std::u16string text = head + u"ab" + tail + u"a" + tail + u"ab";
    EXPECT_EQ(ApplyWholeTextReplacements(text, table), head + u"X" + tail + u"a" + tail + u"X")
        << offset;
    EXPECT_EQ(ExpandTabs(head + u"\t" + tail + u"\t", 2), head + u"  " + tail + u"  ") << offset;
  }
}

}  // namespace
}  // namespace mirotabe
