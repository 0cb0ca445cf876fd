#include "ui/save_output.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/case_name.h"
#include "tests/support/program_lines.h"
#include "tests/support/temp_folder.h"

namespace mirotabe {
namespace {

using enum SwapKind;

using testing_support::ReadFile;
using testing_support::TempFolder;

using testing_support::Lines;

struct SaveCase {
  const char* name;
  std::u16string input;
  SwapTable table;
};

SwapTable Bar() {
  SwapTable table;
  table.Append({u"ー", u"｜", kCell});
  table.Append({u"😀", u"☆", kCell});
  return table;
}

class SaveOutputTest : public testing::TestWithParam<SaveCase> {
 protected:
  static VerticalLayout Layout() {
    return std::get<VerticalLayout>(
        BuildVerticalLayout(GetParam().input, {4, GetParam().table, {}}));
  }
  TempFolder folder_;
};

// The saved file holds exactly what encoding the whole text gives.
TEST_P(SaveOutputTest, SavesTheBytesOfTheWholeText) {
  const VerticalLayout layout = Layout();
  const std::string path = folder_.PathOf("out.txt");
  for (const Charset charset : {Charset::Cp932, Charset::Utf8}) {
    ASSERT_TRUE(SaveLayout(path, layout, charset).ok());
    EXPECT_EQ(ReadFile(path), Encode(layout.Text(), charset).bytes);
  }
}

TEST_P(SaveOutputTest, FindsWhatTheWholeTextWouldLose) {
  const VerticalLayout layout = Layout();
  const UnencodableReport whole = FindUnencodable(layout.Text(), Charset::Cp932, 3);
  const UnencodableReport cells = FindUnencodableCells(layout, Charset::Cp932, 3);
  EXPECT_EQ(cells.count, whole.count);
  EXPECT_EQ(cells.first, whole.first);
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, SaveOutputTest,
    testing::Values(SaveCase{"Empty", u"", {}}, SaveCase{"TwoLines", u"ab\r\nc", {}},
                    SaveCase{"Replaced", u"ラーメン😀", Bar()},
                    SaveCase{"Unencodable", u"é😀\r\n€あ\r\né", {}},
                    SaveCase{"ManyLines", Lines(40000, u"縦書きé"), {}},
                    SaveCase{"ManyLinesWithPairs", Lines(40000, u"😀あ") + u"\r\né", {}},
                    SaveCase{"OneLongLine", std::u16string(200000, u'あ') + u"é", Bar()}),
    testing_support::CaseName());

TEST(SaveLayoutTest, AFolderThatDoesNotExistIsAnErrorNamingThePath) {
  TempFolder folder;
  const std::string path = folder.PathOf("missing/out.txt");
  const IoStatus failed =
      SaveLayout(path, std::get<VerticalLayout>(BuildVerticalLayout(u"a", {4, {}, {}})));
  ASSERT_TRUE(failed.failed());
  EXPECT_EQ(failed.error().path, path);
  EXPECT_EQ(failed.error().code, std::errc::no_such_file_or_directory);
}

}  // namespace
}  // namespace mirotabe
