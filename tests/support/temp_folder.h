// A fresh folder for one test and the byte-exact file access the tests use
// to fill it and read it back.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <system_error>

namespace mirotabe::testing_support {

// Writes `bytes` to `path` as they are, replacing what was there.
inline void WriteFile(const std::string& path, std::string_view bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// Everything in the file at `path`, byte for byte; empty when it cannot be read.
inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// A folder made fresh on construction and removed, with everything in it, on
// destruction. Its name holds the process id and the running test's name, and
// mkdtemp makes it unique besides, so tests that ctest runs side by side, or
// several folders in one test, never share one.
class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / Prefix()).string() + "XXXXXX";
    const char* made = MakeUniqueFolder(pattern.data());
    if (made == nullptr) ADD_FAILURE() << "cannot make " << pattern;
    path_ = made != nullptr ? made : "/nonexistent";
  }
  ~TempFolder() {
    // Tests take permissions away (0444 files, 0555 or 0 folders) to provoke
    // failures; the owner gets them back so that nothing is left behind.
    GiveBackPermissions(path_);
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& path() const { return path_; }
  // `name` inside the folder; "" gives the folder itself ending in '/'.
  std::string PathOf(std::string_view name) const {
    return (std::filesystem::path(path_) / name).string();
  }

 private:
  // mkdtemp, which Windows lacks: there the Xs become a number, and the
  // next is tried until one makes a folder that was not there.
  static const char* MakeUniqueFolder(char* pattern) {
#if defined(_WIN32)
    const std::size_t length = std::char_traits<char>::length(pattern);
    for (unsigned attempt = 0; attempt < 1000000; ++attempt) {
      const std::string digits = std::to_string(1000000 + attempt).substr(1);
      std::copy(digits.begin(), digits.end(), pattern + length - 6);
      std::error_code error;
      if (std::filesystem::create_directory(pattern, error)) return pattern;
      if (error) return nullptr;
    }
    return nullptr;
#else
    return mkdtemp(pattern);
#endif
  }

  static std::string Prefix() {
    std::string prefix = "mirotabe-" + std::to_string(::getpid()) + "-";
    if (const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info()) {
      // Parameterised names hold '/', which must not make nested folders.
      std::string name = std::string(test->test_suite_name()) + "." + test->name();
      for (char& c : name) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || c == '.' || c == '_' || c == '-';
        if (!plain) c = '_';
      }
      prefix += name.substr(0, 120) + "-";
    }
    return prefix;
  }

  // Adds the owner's read, write and search permission to `path` and, for a
  // folder, to everything below it. Links are left alone: changing one would
  // change what it leads to, which may lie outside the folder.
  static void GiveBackPermissions(const std::filesystem::path& path) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::file_status status = fs::symlink_status(path, error);
    if (error || fs::is_symlink(status)) return;
    fs::permissions(path, fs::perms::owner_all, fs::perm_options::add, error);
    if (!fs::is_directory(status)) return;
    for (fs::directory_iterator entry(path, error), end; !error && entry != end;
         entry.increment(error)) {
      GiveBackPermissions(entry->path());
    }
  }

  std::string path_;
};

}  // namespace mirotabe::testing_support
