#include "core/two_byte_cut.h"

#include <gtest/gtest.h>

namespace mirotabe {
namespace {

struct CutCase {
  std::u16string to;
  std::u16string kept;
};

class TwoByteCutTest : public testing::TestWithParam<CutCase> {};

TEST_P(TwoByteCutTest, KeepsTheLongestPrefixOfAtMostTwoBytes) {
  EXPECT_EQ(CutToTwoBytes(GetParam().to), GetParam().kept);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TwoByteCutTest,
    testing::Values(CutCase{u"", u""}, CutCase{u"a", u"a"}, CutCase{u"abc", u"ab"},
                    // Never half a character: the double-byte あ does not fit after a.
                    CutCase{u"aあ", u"a"}, CutCase{u"｜｜", u"｜"}, CutCase{u"あい", u"あ"},
                    // Half-width katakana take one byte each.
                    CutCase{u"ｱｲｳ", u"ｱｲ"},
                    // Characters code page 932 cannot hold count as two bytes, kept whole.
                    CutCase{u"😀x", u"😀"}, CutCase{u"éa", u"é"}, CutCase{u"aé", u"a"},
                    // What code page 932 holds comes back as a saved entry reads it.
                    CutCase{u"〜x", u"～"}, CutCase{u"−", u"－"}, CutCase{u"‖", u"∥"},
                    CutCase{std::u16string{0xD800, u'x'}, std::u16string{0xD800}}));

}  // namespace
}  // namespace mirotabe
