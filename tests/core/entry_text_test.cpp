#include "core/entry_text.h"

#include <gtest/gtest.h>

namespace mirotabe {
namespace {

// What the boxes keep of `typed`: the From box, and the To box of a cell
// entry and of a whole-text entry.
struct EntryTextCase {
  std::u16string typed;
  std::u16string from;
  std::u16string cellTo;
  std::u16string wholeTextTo;
};

std::u16string Repeated(std::u16string_view text, int times) {
  std::u16string repeated;
  for (int i = 0; i < times; ++i) repeated += text;
  return repeated;
}

class EntryTextTest : public testing::TestWithParam<EntryTextCase> {};

TEST_P(EntryTextTest, KeepsWhatAnEntryCanHold) {
  EXPECT_EQ(EntryFromText(GetParam().typed), GetParam().from);
  EXPECT_EQ(EntryToText(GetParam().typed, SwapKind::kCell), GetParam().cellTo);
  EXPECT_EQ(EntryToText(GetParam().typed, SwapKind::kWholeText), GetParam().wholeTextTo);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EntryTextTest,
    testing::Values(EntryTextCase{u"", u"", u"", u""},
                    // Line breaks and NUL go wherever they stand; TAB stays.
                    EntryTextCase{u"\r\na\nb", u"ａ", u"ab", u"ab"},
                    EntryTextCase{std::u16string{u'\0', u'x', u'\0'}, u"ｘ", u"x", u"x"},
                    EntryTextCase{u"\tー", u"\t", u"\t", u"\tー"},
                    // One full-width character, a surrogate pair whole.
                    EntryTextCase{u"ーx", u"ー", u"ー", u"ーx"},
                    EntryTextCase{u"😀😀", u"😀", u"😀", u"😀😀"},
                    EntryTextCase{u"ｶﾞｷ", u"ガ", u"ｶﾞ", u"ｶﾞｷ"},
                    // Only a cell entry's To is cut to two bytes, read back.
                    EntryTextCase{u"〜〜", u"〜", u"～", u"〜〜"},
                    // Any other To to what the settings file reads back.
                    EntryTextCase{Repeated(u"0123456789", 20), u"０", u"01",
                                  Repeated(u"0123456789", 20).substr(0, 127)},
                    EntryTextCase{Repeated(u"漢字", 50), u"漢", u"漢",
                                  Repeated(u"漢字", 50).substr(0, 63)},
                    EntryTextCase{std::u16string(u"x") + Repeated(u"あ", 70), u"ｘ", u"x",
                                  std::u16string(u"x") + Repeated(u"あ", 63)},
                    // An emoji is written as one '?'.
                    EntryTextCase{Repeated(u"😀", 130), u"😀", u"😀", Repeated(u"😀", 127)}));

}  // namespace
}  // namespace mirotabe
