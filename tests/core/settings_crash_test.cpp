// A settings save killed at any moment leaves the complete old or the
// complete new file.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>

#include "core/settings.h"
#include "platform/files.h"
#include "tests/support/kill_while_saving.h"
#include "tests/support/temp_folder.h"

namespace mirotabe {
namespace {

using enum SwapKind;

using namespace testing_support;

AppSettings FullTable(char16_t mark) {
  AppSettings settings;
  for (std::size_t n = 1; n <= SwapTable::kMaxEntries; ++n) {
    settings.rules.table.Append(
        {std::u16string(1, mark), u"entry " + std::u16string(n % 40 + 1, mark), kWholeText});
  }
  return settings;
}

std::string BytesOf(const std::string& path) {
  const IoResult<std::string> read = ReadFileBytes(path);
  EXPECT_TRUE(read.ok()) << read.error().Reason();
  return read.ok() ? read.value() : std::string();
}

TEST(SettingsCrashTest, KilledSavesOf999EntriesLeaveTheOldOrTheNewFileWhole) {
  TempFolder folder;
  const std::string file = folder.PathOf("Setting.ini");
  const AppSettings first = FullTable(u'あ');
  const AppSettings second = FullTable(u'b');
  ASSERT_TRUE(SaveSettings(first, file).ok());
  const std::string firstBytes = BytesOf(file);
  const auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(SaveSettings(second, file).ok());
  const auto oneSave = std::min(std::chrono::duration_cast<std::chrono::microseconds>(
                                    std::chrono::steady_clock::now() - start),
                                std::chrono::microseconds(50000));
  const std::string secondBytes = BytesOf(file);
  ASSERT_NE(firstBytes, secondBytes);

  int leftovers = 0;
  KillWhileSaving(
      200, 3 * oneSave,
      [&] {
        // A failed save ends the child before the kill, which fails the test.
        for (int i = 0;; ++i) {
          if (SaveSettings(i % 2 == 0 ? first : second, file).failed()) _exit(1);
        }
      },
      [&](int kill) {
        const std::string left = BytesOf(file);
        ASSERT_TRUE(left == firstBytes || left == secondBytes)
            << "kill " << kill << " left " << left.size() << " bytes";
        for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
          if (entry.path() == file) continue;
          ++leftovers;
          std::filesystem::remove(entry.path());
        }
      });
  // See FilesCrashTest: only the moment between naming and renaming leaves one.
  EXPECT_LE(leftovers, 5) << "temporary files left by 200 kills";
  AppSettings loaded;
  EXPECT_TRUE(LoadSettings(loaded, file).ok());
  EXPECT_TRUE(loaded.rules.table == first.rules.table || loaded.rules.table == second.rules.table);
}

}  // namespace
}  // namespace mirotabe
