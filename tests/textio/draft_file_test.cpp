#include "textio/draft_file.h"

#include <gtest/gtest.h>

#include <string>

namespace mirotabe {
namespace {

// A kept text comes back exactly, lone surrogates, CR and names that are
// not UTF-8 included; a file cut anywhere short, or another file, is none.
TEST(DraftFileTest, ComesBackWholeOrNotAtAll) {
  const Draft drafts[] = {
      {u"", "", std::nullopt},
      {u"縦書き\r\nです", "/home/u/メモ.txt", TextEncoding::Utf8},
      {std::u16string(u"a\xD800"
                      u"b\r\r\n\n",
                      7),
       "/tmp/n\xFF\nx", TextEncoding::EucJp},
      {u"text 3\n", "path 9\n", TextEncoding::Cp932},
  };
  for (const Draft& draft : drafts) {
    const std::string bytes = DraftBytes(draft);
    EXPECT_EQ(ParseDraft(bytes), draft) << draft.path;
    for (std::size_t cut = 0; cut < bytes.size(); ++cut) {
      EXPECT_EQ(ParseDraft(bytes.substr(0, cut)), std::nullopt) << draft.path << " cut at " << cut;
    }
    EXPECT_EQ(ParseDraft(bytes + "x"), std::nullopt);
  }
  EXPECT_EQ(ParseDraft("[Main]\r\nTabSpace=4\r\n"), std::nullopt);
}

}  // namespace
}  // namespace mirotabe
