// The file layer on Windows: names that only the wide calls keep whole,
// both separators, paths longer than MAX_PATH, the devices every folder
// has, and the refusals and failures of a save, each with the Linux words.
#include <windows.h>
// After windows.h, which it needs.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "platform/files.h"
#include "platform/folder_names.h"
#include "platform/path_text.h"
#include "platform/program_folder.h"
#include "platform/windows_text.h"
#include "tests/support/temp_folder.h"

namespace mirotabe {
namespace {

using testing_support::TempFolder;
using namespace std::string_literals;

std::set<std::string> NamesIn(const std::string& folder) {
  const std::vector<std::string> names = NamesInFolder(folder);
  return {names.begin(), names.end()};
}

struct NameCase {
  const char* name;
  std::string relative;  // under the test's folder, made first
};

void PrintTo(const NameCase& c, std::ostream* out) {
  *out << c.name;
}

class FilesWindowsNameTest : public testing::TestWithParam<NameCase> {};

// A save makes the file, a second one replaces it, and a read gives the
// bytes back exactly (no CR added, no end at Ctrl-Z), with nothing else
// left in the folder.
TEST_P(FilesWindowsNameTest, SaveReplaceAndReadKeepTheBytesAndTheName) {
  TempFolder temp;
  const std::string path = temp.path() + "\\" + GetParam().relative;
  const std::string folder = path.substr(0, path.find_last_of("\\/"));
  ASSERT_TRUE(MakeFolders(folder).ok());
  const std::string bytes =
      "a\nb\r\n\x1A"
      "c\0d"s;
  ASSERT_TRUE(ReplaceFileAtomically(path, "old").ok());
  const IoStatus saved = ReplaceFileAtomically(path, bytes);
  ASSERT_TRUE(saved.ok()) << saved.error().Reason();
  const IoResult<std::string> read = ReadFileBytes(path);
  ASSERT_TRUE(read.ok()) << read.error().Reason();
  EXPECT_EQ(read.value(), bytes);
  const std::string name = path.substr(path.find_last_of("\\/") + 1);
  EXPECT_EQ(NamesIn(folder), std::set<std::string>{name});
}

INSTANTIATE_TEST_SUITE_P(
    , FilesWindowsNameTest,
    testing::Values(
        NameCase{"Japanese", "山田の原稿.txt"}, NameCase{"OutsideEveryCodePage", "縦書き😀.txt"},
        NameCase{"Backslashes", "a\\b\\file.txt"}, NameCase{"Slashes", "a/b/file.txt"},
        NameCase{"LongerThanMaxPath", std::string(100, 'x') + "\\" + std::string(100, 'y') + "\\" +
                                          std::string(100, 'z') + "\\長い名前.txt"},
        NameCase{"LongWithSlashesAndDots", std::string(120, 'p') + "/./" + std::string(120, 'q') +
                                               "/../" + std::string(120, 'r') + "/file.txt"}),
    [](const testing::TestParamInfo<NameCase>& info) { return std::string(info.param.name); });

struct RefusalCase {
  const char* name;
  // Prepares the test's folder and gives the path to save to.
  std::string (*prepare)(const TempFolder& temp);
  OtherTargets others;
  const char* reason;  // "" when the save succeeds
};

void PrintTo(const RefusalCase& c, std::ostream* out) {
  *out << c.name;
}

class FilesWindowsRefusalTest : public testing::TestWithParam<RefusalCase> {};

// What a save refuses, in the Linux words, leaving every file as it was.
TEST_P(FilesWindowsRefusalTest, SaysWhyAndLeavesTheFolderAsItWas) {
  TempFolder temp;
  const std::string path = GetParam().prepare(temp);
  const std::set<std::string> before = NamesIn(temp.path());
  const IoStatus saved = ReplaceFileAtomically(path, "new", GetParam().others);
  if (*GetParam().reason == '\0') {
    EXPECT_TRUE(saved.ok()) << saved.error().Reason();
  } else {
    ASSERT_TRUE(saved.failed());
    EXPECT_EQ(saved.error().path, path);
    EXPECT_EQ(saved.error().Reason(), GetParam().reason);
  }
  EXPECT_EQ(NamesIn(temp.path()), before);
  if (std::filesystem::is_regular_file(FsPath(temp.PathOf("file")))) {
    EXPECT_EQ(testing_support::ReadFile(temp.PathOf("file")), "old");
  }
}

std::string OldFile(const TempFolder& temp) {
  testing_support::WriteFile(temp.PathOf("file"), "old");
  return temp.PathOf("file");
}

INSTANTIATE_TEST_SUITE_P(
    , FilesWindowsRefusalTest,
    testing::Values(RefusalCase{"ReadOnlyFile",
                                [](const TempFolder& temp) {
                                  const std::string path = OldFile(temp);
                                  SetFileAttributesW(WideOf(path).c_str(), FILE_ATTRIBUTE_READONLY);
                                  return path;
                                },
                                OtherTargets::kRefuse, "Permission denied"},
                    RefusalCase{"Folder",
                                [](const TempFolder& temp) {
                                  std::filesystem::create_directory(FsPath(temp.PathOf("file")));
                                  return temp.PathOf("file");
                                },
                                OtherTargets::kRefuse, "Is a directory"},
                    RefusalCase{"MissingFolder",
                                [](const TempFolder& temp) { return temp.PathOf("none\\file"); },
                                OtherTargets::kRefuse, "No such file or directory"},
                    RefusalCase{"NulDevice", [](const TempFolder&) { return std::string("NUL"); },
                                OtherTargets::kRefuse, "Not a regular file"},
                    RefusalCase{"NulDeviceInAFolderWrittenThrough",
                                [](const TempFolder& temp) {
                                  OldFile(temp);
                                  return temp.PathOf("nul.txt");
                                },
                                OtherTargets::kWriteThrough, ""}),
    [](const testing::TestParamInfo<RefusalCase>& info) { return std::string(info.param.name); });

// A file that another program holds open without sharing its deletion
// cannot be replaced: MoveFileExW fails, and the save says so and takes its
// temporary file away.
TEST(FilesWindowsTest, AFileHeldOpenElsewhereIsKeptAndNothingIsLeft) {
  TempFolder temp;
  const std::string path = OldFile(temp);
  const HANDLE held = CreateFileW(WideOf(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  const IoStatus saved = ReplaceFileAtomically(path, "new");
  CloseHandle(held);
  ASSERT_TRUE(saved.failed());
  EXPECT_EQ(saved.error().Reason(), "Permission denied");
  EXPECT_EQ(testing_support::ReadFile(path), "old");
  EXPECT_EQ(NamesIn(temp.path()), std::set<std::string>{"file"});
}

// Reads name their failures as on Linux.
TEST(FilesWindowsTest, ReadFailuresHaveTheLinuxWords) {
  TempFolder temp;
  EXPECT_EQ(ReadFileBytes(temp.PathOf("none")).error().Reason(), "No such file or directory");
  EXPECT_EQ(ReadFileBytes(temp.path()).error().Reason(), "Is a directory");
  EXPECT_EQ(ReadStreamBytes(temp.path()).error().Reason(), "Is a directory");
}

// A portable copy keeps its settings beside it; one under Program Files
// keeps them in the user's roaming folder.
TEST(FilesWindowsTest, SettingsLiveBesideAPortableCopyAndInAppDataWhenInstalled) {
  TempFolder temp;
  const std::string portable = temp.path() + "\\";
  EXPECT_EQ(SettingsFilePath(portable), portable + "Setting.ini");
  const std::string installed = Utf8Of(_wgetenv(L"ProgramFiles")) + "\\Mirotabe\\";
  const std::string settings = SettingsFilePath(installed);
  EXPECT_EQ(settings, Utf8Of(_wgetenv(L"APPDATA")) + "\\mirotabe\\Setting.ini");
}

}  // namespace
}  // namespace mirotabe
