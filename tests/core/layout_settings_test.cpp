#include "core/layout_settings.h"

#include <gtest/gtest.h>

#include "core/settings.h"
#include "tests/support/case_name.h"
#include "tests/support/temp_folder.h"

namespace mirotabe {
namespace {

class LayoutSettingsTest : public testing::Test {
 protected:
  AppSettings Load() const {
    AppSettings settings;
    EXPECT_TRUE(LoadSettings(settings, file_).ok());
    return settings;
  }

  testing_support::TempFolder folder_;
  std::string file_ = folder_.PathOf("Setting.ini");
};

struct ReadCase {
  const char* name;
  const char* file;
  LayoutSettings layout;
};

class LayoutSettingsReadTest : public LayoutSettingsTest,
                               public testing::WithParamInterface<ReadCase> {};

TEST_P(LayoutSettingsReadTest, ReadsSectionLayout) {
  testing_support::WriteFile(file_, GetParam().file);
  EXPECT_EQ(Load().rules.columns, GetParam().layout);
}

INSTANTIATE_TEST_SUITE_P(
    Files, LayoutSettingsReadTest,
    testing::Values(ReadCase{"NoSection", "[Main]\r\nTabSpace=2\r\n", {}},
                    ReadCase{"All",
                             "[Layout]\r\nColumnLength=20\r\nKinsoku=2\r\nColumnGap=1\r\n",
                             {20, Kinsoku::kPushOut, 1}},
                    ReadCase{"Largest",
                             "[Layout]\r\nColumnLength=999\r\nKinsoku=1\r\nColumnGap=2\r\n",
                             {999, Kinsoku::kHang, 2}},
                    ReadCase{"OutOfRangeGivesDefaults",
                             "[Layout]\r\nColumnLength=1000\r\nKinsoku=3\r\nColumnGap=3\r\n",
                             {}},
                    ReadCase{"NegativeGivesDefaults",
                             "[Layout]\r\nColumnLength=-1\r\nKinsoku=-1\r\nColumnGap=-2\r\n",
                             {}},
                    ReadCase{"OneBadKeyOnly",
                             "[Layout]\r\nColumnLength=12\r\nKinsoku=9\r\n",
                             {12, Kinsoku::kNone, 0}},
                    ReadCase{"OtherSectionIgnored", "[Main]\r\nColumnLength=12\r\n", {}},
                    // Unset or out of range, pictures and pages take their own.
                    ReadCase{"TcyAndLatin",
                             "[Layout]\r\nTcy=3\r\nLatin=1\r\n",
                             {0, Kinsoku::kNone, 0, false, 3, LatinSetting::kSideways}},
                    ReadCase{"TcyAndLatinOff",
                             "[Layout]\r\nTcy=0\r\nLatin=0\r\n",
                             {0, Kinsoku::kNone, 0, false, 0, LatinSetting::kCells}},
                    ReadCase{"TcyAndLatinOutOfRange", "[Layout]\r\nTcy=4\r\nLatin=2\r\n", {}}),
    testing_support::CaseName());

TEST_F(LayoutSettingsTest, DefaultsLeaveAFileWithoutTheSectionAsItIs) {
  const std::string original = "[Main]\r\nTabSpace=4\r\nConvert=2\r\n";
  testing_support::WriteFile(file_, original);
  ASSERT_TRUE(SaveSettings(Load(), file_).ok());
  EXPECT_EQ(testing_support::ReadFile(file_), original);
}

TEST_F(LayoutSettingsTest, SavedWithTheRestAndReadBack) {
  AppSettings settings = Load();
  settings.rules.tabSpace = 3;
  settings.rules.columns = {40, Kinsoku::kHang, 2};
  ASSERT_TRUE(SaveSettings(settings, file_).ok());
  const AppSettings loaded = Load();
  EXPECT_EQ(loaded.rules.tabSpace, 3);
  EXPECT_EQ(loaded.rules.columns, settings.rules.columns);

  // Back to off: the keys stay in the file, now saying 0.
  settings.rules.columns = {};
  ASSERT_TRUE(SaveSettings(settings, file_).ok());
  EXPECT_EQ(Load().rules.columns, LayoutSettings{});
  EXPECT_NE(testing_support::ReadFile(file_).find("ColumnLength=0\r\n"), std::string::npos);
}

// Chosen, 縦中横 and sideways Latin are saved; unset, as a dialog that
// does not show them leaves them, the file keeps its own.
TEST_F(LayoutSettingsTest, TcyAndLatinAreSavedOnlyWhenChosen) {
  AppSettings settings = Load();
  settings.rules.columns.tcy = 3;
  settings.rules.columns.latin = LatinSetting::kCells;
  ASSERT_TRUE(SaveSettings(settings, file_).ok());
  EXPECT_EQ(Load().rules.columns, settings.rules.columns);
  settings.rules.columns.tcy.reset();
  settings.rules.columns.latin.reset();
  ASSERT_TRUE(SaveSettings(settings, file_).ok());
  EXPECT_EQ(Load().rules.columns.tcy, 3);
  EXPECT_EQ(Load().rules.columns.latin, LatinSetting::kCells);
}

}  // namespace
}  // namespace mirotabe
