// SaveSettings with failures of the system calls injected: the old file
// stays byte for byte, nothing is left beside it, and the error names the
// file and the reason.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <set>

#include "core/settings.h"
#include "platform/sys_calls.h"
#include "tests/support/failing_sys_calls.h"
#include "tests/support/temp_folder.h"

namespace mirotabe {
namespace {

using enum SwapKind;

using namespace testing_support;

std::vector<CallOutcome> SaveSettingsCalls() {
  std::vector<CallOutcome> calls = AtomicSaveCalls();
  // The old file is read first, to keep the lines the save does not touch.
  calls.push_back({Call::kFstat, Outcome::kFails});
  calls.push_back({Call::kRead, Outcome::kRetried});
  return calls;
}

class SettingsFaultTest : public testing::TestWithParam<SaveFaultCase> {};

TEST_P(SettingsFaultTest, OldFileStaysWholeAndTheErrorSaysWhy) {
  TempFolder folder;
  const std::string file = folder.PathOf("Setting.ini");
  const std::string old = "; mine\r\n[Main]\r\nTabSpace=3\r\n[Swap001]\r\nFrom=a\r\nTo=\"b\"\r\n";
  WriteFile(file, old);
  GiveAway(file);
  AppSettings settings;
  settings.rules.tabSpace = 8;
  for (int i = 0; i < 50; ++i) settings.rules.table.Append({u"x", u"y", kCell});

  IoStatus error;
  {
    FailingSysCalls failing(GetParam().ToFault());
    error = SaveSettings(settings, file);
    if (GetParam().CallIsMade()) {
      EXPECT_GT(failing.Failures(), 0) << "the call was never made";
    }
  }
  if (GetParam().SaveSucceeds()) {
    EXPECT_TRUE(error.ok()) << error.error().Reason();
    AppSettings loaded;
    EXPECT_TRUE(LoadSettings(loaded, file).ok());
    EXPECT_EQ(loaded.rules.tabSpace, 8);
    EXPECT_EQ(loaded.rules.table, settings.rules.table);
  } else {
    ASSERT_TRUE(error.failed());
    // Making sure that the folder exists comes first.
    EXPECT_EQ(error.error().path, GetParam().call.call == Call::kStat ? folder.path() : file);
    EXPECT_EQ(error.error().code, ErrnoCode(GetParam().error));
    EXPECT_EQ(ReadFile(file), old);
  }
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
    names.insert(entry.path().filename().string());
  }
  EXPECT_EQ(names, std::set<std::string>{"Setting.ini"});
}

INSTANTIATE_TEST_SUITE_P(, SettingsFaultTest,
                         testing::ValuesIn(SaveFaultCases(SaveSettingsCalls())), SaveFaultCaseName);

// A folder that has to be made and cannot be.
TEST(SettingsFaultFolderTest, FolderThatCannotBeMadeIsNamed) {
  TempFolder folder;
  const std::string file = folder.PathOf("mirotabe/Setting.ini");
  for (const int error : kInjectedErrors) {
    if (error == EINTR) continue;  // mkdir is not resumed; it is not a slow call
    FailingSysCalls failing(FaultOf(Call::kMkdir, error));
    const IoStatus failed = SaveSettings(AppSettings{}, file);
    ASSERT_TRUE(failed.failed());
    EXPECT_EQ(failed.error().path, folder.PathOf("mirotabe"));
    EXPECT_EQ(failed.error().code, ErrnoCode(error));
    EXPECT_FALSE(std::filesystem::exists(folder.PathOf("mirotabe")));
  }
}

#if !defined(_WIN32)
// Windows has no FIFOs.
// A settings file that is a FIFO would block start-up for ever in open().
TEST(SettingsFaultFolderTest, FifoIsUnreadableAndGivesTheDefaults) {
  TempFolder folder;
  const std::string file = folder.PathOf("Setting.ini");
  ASSERT_EQ(mkfifo(file.c_str(), 0644), 0);
  AppSettings settings;
  settings.rules.tabSpace = 9;
  const IoStatus failed = LoadSettings(settings, file);
  ASSERT_TRUE(failed.failed());
  EXPECT_EQ(failed.error().path, file);
  EXPECT_EQ(failed.error().code, MakeErrorCode(FileError::kNotRegularFile));
  EXPECT_EQ(settings.rules.tabSpace, kDefaultTabSpace);
}

#endif

// A settings file too large to read starts the program with the defaults,
// like one that cannot be read; its size is never allocated.
TEST(SettingsFaultFolderTest, HugeFileGivesTheDefaults) {
  TempFolder folder;
  const std::string file = folder.PathOf("Setting.ini");
  WriteFile(file, "[Main]\r\nTabSpace=8\r\n");
  SysCalls calls = RealSysCalls();
  calls.fstat = [](int fd, struct stat* info) {
    const int result = RealSysCalls().fstat(fd, info);
    info->st_size = off_t{10} << 30;
    return result;
  };
  const ScopedSysCalls huge(calls);
  AppSettings settings;
  settings.rules.tabSpace = 9;
  const IoStatus failed = LoadSettings(settings, file);
  ASSERT_TRUE(failed.failed());
  EXPECT_EQ(failed.error().code, MakeErrorCode(FileError::kTooLarge));
  EXPECT_EQ(failed.error().size, 10ull << 30);
  EXPECT_EQ(settings.rules.tabSpace, kDefaultTabSpace);
}

}  // namespace
}  // namespace mirotabe
