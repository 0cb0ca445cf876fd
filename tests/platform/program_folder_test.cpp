#include "platform/program_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "platform/sys_calls.h"
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

// A folder that cannot be written is a system one: its program is
// installed, and a file beside it is not the user's.
TEST(ProgramFolderSettingsTest, ExistingFileInAReadOnlyFolderIsNotUsed) {
  TempFolder program;
  WriteFile(FolderOf(program) + "Setting.ini", "[Main]\r\n");
  SetFolderWritableCheck([](const std::string&) { return false; });
  ScopedEnv config("XDG_CONFIG_HOME", "/config");
  EXPECT_EQ(SettingsFilePath(FolderOf(program)), "/config/mirotabe/Setting.ini");
  SetFolderWritableCheck(nullptr);
}

struct InstalledCase {
  const char* name;
  const char* folder;
  uid_t owner;
  bool writable;
  bool installed;
};

// Who owns a folder, as stat() reports it for every path.
uid_t reportedOwner = 0;

class ProgramFolderInstalledTest : public testing::TestWithParam<InstalledCase> {};

// Root may write into a system folder, so there the owner and the place tell.
TEST_P(ProgramFolderInstalledTest, AnInstalledProgramKeepsItsSettingsWithTheUser) {
  const InstalledCase& c = GetParam();
  SysCalls calls = RealSysCalls();
  reportedOwner = c.owner;
  calls.stat = [](const char*, struct stat* info) {
    *info = {};
    info->st_mode = S_IFDIR | 0755;
    info->st_uid = reportedOwner;
    return 0;
  };
  const ScopedSysCalls owned(calls);
  SetFolderWritableCheck(c.writable ? [](const std::string&) { return true; }
                                    : [](const std::string&) { return false; });
  ScopedEnv config("XDG_CONFIG_HOME", "/config");
  EXPECT_EQ(IsSystemFolder(c.folder), c.installed);
  EXPECT_EQ(SettingsFilePath(c.folder),
            c.installed ? "/config/mirotabe/Setting.ini" : std::string(c.folder) + "Setting.ini");
  SetFolderWritableCheck(nullptr);
}

const InstalledCase kInstalledCases[] = {
    {"UsrBinAsRoot", "/usr/bin/", 0, true, true},
    {"UsrLocalBin", "/usr/local/bin/", 0, true, true},
    {"Opt", "/opt/mirotabe/bin/", 0, true, true},
    {"BuildTreeUnderUsrOfAUser", "/usr/src/mirotabe/build/", 1000, true, false},
    {"RootsUnpackedCopy", "/root/mirotabe/", 0, true, false},
    {"NotUnderUsr", "/usr2/bin/", 0, true, false},
    {"ReadOnlyCopyOfAUser", "/home/u/mirotabe/", 1000, false, true},
};

INSTANTIATE_TEST_SUITE_P(, ProgramFolderInstalledTest, testing::ValuesIn(kInstalledCases),
                         testing_support::CaseName());

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

TEST(UserStateFolderTest, FollowsXdgStateHomeOrElseTheHomeFolder) {
  struct Case {
    const char* xdgStateHome;  // null: unset
    const char* expected;
  };
  for (const Case& c :
       {Case{"/state", "/state/mirotabe/"}, Case{"/state/", "/state/mirotabe/"},
        Case{nullptr, "/home/u/.local/state/mirotabe/"}, Case{"", "/home/u/.local/state/mirotabe/"},
        Case{"state", "/home/u/.local/state/mirotabe/"}}) {
    ScopedEnv state("XDG_STATE_HOME", c.xdgStateHome);
    ScopedEnv home("HOME", "/home/u");
    EXPECT_EQ(UserStateFolder(), c.expected)
        << (c.xdgStateHome != nullptr ? c.xdgStateHome : "unset");
  }
}

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
