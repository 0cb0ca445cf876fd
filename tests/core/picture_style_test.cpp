#include "core/picture_style.h"

#include <gtest/gtest.h>

#include "core/settings.h"
#include "tests/support/case_name.h"
#include "tests/support/temp_folder.h"

namespace mirotabe {
namespace {

using testing_support::ReadFile;
using testing_support::TempFolder;
using testing_support::WriteFile;

// The style in the settings file at `file`, and the remembered choice that
// writes it.
PictureStyle LoadPictureStyle(const std::string& file) {
  AppSettings settings;
  EXPECT_TRUE(LoadSettings(settings, file).ok());
  return settings.picture;
}

IoStatus SavePictureStyle(const PictureStyle& style, const std::string& file) {
  AppSettings settings;
  settings.picture = style;
  return SaveSettings(settings, file, SettingsPart::kPictureStyle);
}

struct LoadCase {
  const char* name;
  const char* file;  // nullptr: no file
  PictureStyle expected;
};

class LoadPictureStyleTest : public testing::TestWithParam<LoadCase> {};

TEST_P(LoadPictureStyleTest, ReadsTheLayoutSection) {
  TempFolder folder;
  const std::string path = folder.PathOf("Setting.ini");
  if (GetParam().file != nullptr) WriteFile(path, GetParam().file);
  EXPECT_EQ(LoadPictureStyle(path), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Files, LoadPictureStyleTest,
    testing::Values(
        LoadCase{"NoFile", nullptr, {24, false}},
        LoadCase{"NoSection", "[Main]\r\nTabSpace=4\r\n", {24, false}},
        LoadCase{"Both", "[Layout]\r\nImageCellSize=32\r\nImageGrid=1\r\n", {32, true}},
        LoadCase{"Smallest", "[Layout]\r\nImageCellSize=8\r\n", {8, false}},
        LoadCase{"Largest", "[layout]\r\nimagecellsize=256\r\n", {256, false}},
        LoadCase{"TooSmall", "[Layout]\r\nImageCellSize=7\r\nImageGrid=1\r\n", {24, true}},
        LoadCase{"TooLarge", "[Layout]\r\nImageCellSize=257\r\n", {24, false}},
        LoadCase{"Negative", "[Layout]\r\nImageCellSize=-24\r\n", {24, false}},
        LoadCase{"GridOtherThanOne", "[Layout]\r\nImageGrid=2\r\n", {24, false}},
        LoadCase{"UprightGlyphs", "[Layout]\r\nVerticalGlyphs=0\r\n", {24, false, false}},
        LoadCase{"RubyOn", "[Layout]\r\nRuby=1\r\n", {24, false, true, true}},
        LoadCase{"RubyOff", "[Layout]\r\nRuby=0\r\n", {24, false, true, false}},
        LoadCase{"RubyOtherThanASwitch", "[Layout]\r\nRuby=2\r\n", {24, false}},
        LoadCase{"ColumnSpacing",
                 "[Layout]\r\nImageColumnSpacing=0.75\r\n",
                 {24, false, true, std::nullopt, 0.75}},
        LoadCase{"WidestSpacing",
                 "[Layout]\r\nImageColumnSpacing=1\r\n",
                 {24, false, true, std::nullopt, 1}},
        LoadCase{"SpacingTooNarrow", "[Layout]\r\nImageColumnSpacing=0.25\r\n", {24, false}},
        LoadCase{"SpacingTooWide", "[Layout]\r\nImageColumnSpacing=1.5\r\n", {24, false}},
        LoadCase{"SpacingWithAComma", "[Layout]\r\nImageColumnSpacing=0,75\r\n", {24, false}},
        LoadCase{
            "KeysInAnotherSection", "[Main]\r\nImageCellSize=32\r\nImageGrid=1\r\n", {24, false}}),
    testing_support::CaseName());

TEST(SavePictureStyleTest, WritesBothKeysAndKeepsTheOtherLines) {
  TempFolder folder;
  const std::string path = folder.PathOf("Setting.ini");
  WriteFile(path, "[Main]\r\nTabSpace=2\r\n[Layout]\r\nColumnLength=20\r\nImageGrid=1\r\n");
  ASSERT_TRUE(SavePictureStyle({40, false}, path).ok());
  EXPECT_EQ(ReadFile(path),
            "[Main]\r\nTabSpace=2\r\n[Layout]\r\nColumnLength=20\r\nImageGrid=0\r\n"
            "ImageCellSize=40\r\nVerticalGlyphs=1\r\n");
  EXPECT_EQ(LoadPictureStyle(path), (PictureStyle{40, false}));

  ASSERT_TRUE(SavePictureStyle({kDefaultCellSize, true}, path).ok());
  EXPECT_EQ(LoadPictureStyle(path), (PictureStyle{kDefaultCellSize, true}));

  // Ruby is written once chosen, and its key goes when the choice is
  // undone, so that pages and pictures take their own defaults again.
  for (const std::optional<bool> ruby :
       {std::optional<bool>(false), std::optional<bool>(true), std::optional<bool>()}) {
    ASSERT_TRUE(SavePictureStyle({kDefaultCellSize, true, true, ruby}, path).ok());
    EXPECT_EQ(LoadPictureStyle(path).ruby, ruby);
  }
  EXPECT_EQ(ReadFile(path).find("Ruby"), std::string::npos);

  // The spacing is written once it is other than the default, and from
  // then on kept.
  for (const double spacing : {0.625, 1.0, kDefaultColumnSpacing}) {
    const PictureStyle spaced{kDefaultCellSize, true, true, std::nullopt, spacing};
    ASSERT_TRUE(SavePictureStyle(spaced, path).ok());
    EXPECT_EQ(LoadPictureStyle(path), spaced);
  }
  EXPECT_NE(ReadFile(path).find("ImageColumnSpacing=0.5\r\n"), std::string::npos);
}

TEST(SavePictureStyleTest, AFolderThatCannotBeWrittenIsReported) {
  TempFolder folder;
  // A missing folder is made; one under a file cannot be.
  WriteFile(folder.PathOf("file"), "");
  const IoStatus failed = SavePictureStyle({}, folder.PathOf("file/missing/Setting.ini"));
  ASSERT_TRUE(failed.failed());
  EXPECT_EQ(failed.error().path.find(folder.path()), 0u);
}

}  // namespace
}  // namespace mirotabe
