#include "core/recent_files.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace mirotabe {
namespace {

struct AddedCase {
  const char* name;
  std::vector<std::string> before;
  std::string added;
  std::vector<std::string> after;
};

class RecentFilesTest : public testing::TestWithParam<AddedCase> {};

TEST_P(RecentFilesTest, PutsTheFileFirstOnceWithinTheLimit) {
  const AddedCase& c = GetParam();
  EXPECT_EQ(WithRecentFile(c.before, c.added), c.after);
}

INSTANTIATE_TEST_SUITE_P(
    Lists, RecentFilesTest,
    testing::Values(AddedCase{"Empty", {}, "a", {"a"}},
                    AddedCase{"Newest", {"a", "b"}, "c", {"c", "a", "b"}},
                    AddedCase{"MovesUp", {"a", "b", "c"}, "c", {"c", "a", "b"}},
                    AddedCase{"AlreadyFirst", {"a", "b"}, "a", {"a", "b"}},
                    AddedCase{"OldestDropped",
                              {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"},
                              "new",
                              {"new", "1", "2", "3", "4", "5", "6", "7", "8", "9"}}),
    [](const auto& info) { return std::string(info.param.name); });

struct CaptionCase {
  const char* name;
  std::size_t number;
  std::u16string_view shown;
  std::u16string_view caption;
};

class RecentCaptionTest : public testing::TestWithParam<CaptionCase> {};

TEST_P(RecentCaptionTest, NumbersTheKeyAndKeepsTheNameFromKeys) {
  const CaptionCase& c = GetParam();
  EXPECT_EQ(RecentFileCaption(c.number, c.shown), c.caption);
}

INSTANTIATE_TEST_SUITE_P(Captions, RecentCaptionTest,
                         testing::Values(CaptionCase{"First", 1, u"/a/メモ.txt", u"&1 /a/メモ.txt"},
                                         CaptionCase{"Tenth", 10, u"C:\\b.txt", u"&0 C:\\b.txt"},
                                         CaptionCase{"Ampersands", 2, u"R&D&&x", u"&2 R&&D&&&&x"}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace mirotabe
