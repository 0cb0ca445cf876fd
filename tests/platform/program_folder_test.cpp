#include "platform/program_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "tests/support/case_name.h"
#include "tests/support/temp_folder.h"

namespace mirotabe {
namespace {

using testing_support::TempFolder;
using testing_support::WriteFile;

// The folder as the program sees its own: ending in '/'.
std::string FolderOf(const TempFolder& folder) {
  return folder.path() + "/";
}

// Sets or unsets one environment variable for the length of a test.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value != nullptr) {
      setenv(name, value, 1);
    } else {
      unsetenv(name);
    }
  }
  ~ScopedEnv() {
    if (old_) {
      setenv(name_, old_->c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

bool SameFile(const std::string& a, const std::string& b) {
  struct stat first {};
  struct stat second {};
  return stat(a.c_str(), &first) == 0 && stat(b.c_str(), &second) == 0 &&
         first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

TEST(ProgramFolderTest, IsTheFolderOfTheRunningExecutable) {
  const std::string folder = ProgramFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.front(), '/');
  EXPECT_EQ(folder.back(), '/');
  EXPECT_TRUE(SameFile(folder + program_invocation_short_name, "/proc/self/exe"));
}

TEST(ProgramFolderSettingsTest, WritableFolderKeepsSettingsBesideTheProgram) {
  TempFolder program;
  EXPECT_EQ(SettingsFilePath(FolderOf(program)), FolderOf(program) + "Setting.ini");
}

// A portable copy whose folder became read-only still reads its settings.
TEST(ProgramFolderSettingsTest, ExistingFileIsUsedInAReadOnlyFolder) {
  TempFolder program;
  WriteFile(FolderOf(program) + "Setting.ini", "[Main]\r\n");
  ASSERT_EQ(chmod(FolderOf(program).c_str(), 0555), 0);
  EXPECT_EQ(SettingsFilePath(FolderOf(program)), FolderOf(program) + "Setting.ini");
}

// Root may write anywhere, so the folder is made read-only for the program
// by replacing the check.
TEST(ProgramFolderSettingsTest, ReadOnlyFolderWithoutFileUsesTheUserFolder) {
  TempFolder program;
  SetFolderWritableCheck([](const std::string&) { return false; });
  ScopedEnv config("XDG_CONFIG_HOME", "/config");
  EXPECT_FALSE(FolderIsWritable(FolderOf(program)));
  EXPECT_EQ(SettingsFilePath(FolderOf(program)), "/config/mirotabe/Setting.ini");
  SetFolderWritableCheck(nullptr);
  EXPECT_TRUE(FolderIsWritable(FolderOf(program)));
  EXPECT_EQ(SettingsFilePath(FolderOf(program)), FolderOf(program) + "Setting.ini");
}

struct FallbackCase {
  const char* name;
  const char* xdgConfigHome;  // null: unset
  const char* home;
  std::string expected;
};

void PrintTo(const FallbackCase& c, std::ostream* out) {
  *out << c.name;
}

class ProgramFolderFallbackTest : public testing::TestWithParam<FallbackCase> {};

// Root may write into any existing folder, so a folder that does not exist
// stands in for one the user cannot write: neither can hold a new file.
TEST_P(ProgramFolderFallbackTest, UnwritableFolderUsesTheUserConfigFolder) {
  const FallbackCase& c = GetParam();
  TempFolder parent;
  const std::string program = FolderOf(parent) + "missing/";
  ScopedEnv config("XDG_CONFIG_HOME", c.xdgConfigHome);
  ScopedEnv home("HOME", c.home);
  EXPECT_EQ(SettingsFilePath(program), c.expected);
}

const FallbackCase kFallbackCases[] = {
    {"ConfigHome", "/cfg", "/home/u", "/cfg/mirotabe/Setting.ini"},
    {"ConfigHomeWithSlash", "/cfg/", "/home/u", "/cfg/mirotabe/Setting.ini"},
    {"ConfigHomeUnset", nullptr, "/home/u", "/home/u/.config/mirotabe/Setting.ini"},
    {"ConfigHomeEmpty", "", "/home/u", "/home/u/.config/mirotabe/Setting.ini"},
    {"ConfigHomeRelativeIsIgnored", "cfg", "/home/u", "/home/u/.config/mirotabe/Setting.ini"},
    {"HomeWithSlash", nullptr, "/home/u/", "/home/u/.config/mirotabe/Setting.ini"},
};

INSTANTIATE_TEST_SUITE_P(, ProgramFolderFallbackTest, testing::ValuesIn(kFallbackCases),
                         testing_support::CaseName());

TEST(ProgramFolderSettingsTest, WithoutHomeUsesTheAccountsHomeFolder) {
  TempFolder parent;
  ScopedEnv config("XDG_CONFIG_HOME", nullptr);
  ScopedEnv home("HOME", nullptr);
  const std::string path = SettingsFilePath(FolderOf(parent) + "missing/");
  EXPECT_EQ(path.front(), '/');
  EXPECT_TRUE(path.ends_with("/.config/mirotabe/Setting.ini")) << path;
}

}  // namespace
}  // namespace mirotabe
