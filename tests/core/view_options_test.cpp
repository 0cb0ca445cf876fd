#include "core/view_options.h"

#include <gtest/gtest.h>

#include "core/settings.h"
#include "tests/support/temp_folder.h"

namespace mirotabe {
namespace {

using testing_support::ReadFile;
using testing_support::TempFolder;
using testing_support::WriteFile;

TEST(ZoomedFontSizeTest, StepsThroughTheSizesOfAFontMenu) {
  struct Case {
    int size;
    int steps;
    int zoomed;
  };
  for (const Case c : {Case{9, 1, 10}, Case{9, -1, 8}, Case{12, 1, 14}, Case{14, -1, 12},
                       Case{13, 1, 14}, Case{13, -1, 12}, Case{72, 1, 72}, Case{6, -1, 6},
                       Case{9, 3, 12}, Case{100, -1, 72}, Case{1, 1, 6}}) {
    EXPECT_EQ(ZoomedFontSize(c.size, c.steps), c.zoomed) << c.size << " " << c.steps;
  }
}

TEST(ViewOptionsTest, AreReadFromTheOptionsSectionAndWrittenAlone) {
  TempFolder folder;
  const std::string path = folder.PathOf("Setting.ini");
  struct Case {
    const char* file;
    ViewOptions expected;
  };
  for (const Case& c :
       {Case{"", {9, true}}, Case{"[Options]\r\nFontSize=14\r\nVerticalView=1\r\n", {14, true}},
        Case{"[Options]\r\nFontSize=5\r\n", {}}, Case{"[Options]\r\nFontSize=73\r\n", {}},
        Case{"[Options]\r\nVerticalView=0\r\n", {9, false}},
        // A number outside the key's range gives the default, as for every key.
        Case{"[Options]\r\nVerticalView=2\r\n", {9, true}}}) {
    WriteFile(path, c.file);
    AppSettings settings;
    EXPECT_TRUE(LoadSettings(settings, path).ok());
    EXPECT_EQ(settings.view, c.expected) << c.file;
  }
  WriteFile(path, "[Main]\r\nTabSpace=2\r\n");
  AppSettings settings;
  settings.rules.tabSpace = 8;
  settings.view = {20, true};
  ASSERT_TRUE(SaveSettings(settings, path, SettingsPart::kView).ok());
  EXPECT_EQ(ReadFile(path),
            "[Main]\r\nTabSpace=2\r\n[Options]\r\nFontSize=20\r\nVerticalView=1\r\n");
}

}  // namespace
}  // namespace mirotabe
