// The hostile settings files of tests/data/hostile-settings (see make.py
// there), and what every edition must do with each: load it, press OK
// without a change, load it again, and have lost nothing.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/settings.h"
#include "tests/support/temp_folder.h"

namespace mirotabe::testing_support {

struct HostileSettingsFile {
  std::string name;  // without ".ini"
  std::string bytes;
};

inline void PrintTo(const HostileSettingsFile& file, std::ostream* out) {
  *out << file.name;
}

// Every file of the folder, by name.
inline std::vector<HostileSettingsFile> HostileSettingsFiles() {
  std::vector<HostileSettingsFile> files;
  for (const auto& entry : std::filesystem::directory_iterator(MIROTABE_HOSTILE_SETTINGS_DIR)) {
    if (entry.path().extension() != ".ini") continue;
    files.push_back({entry.path().stem().string(), ReadFile(entry.path().string())});
  }
  std::sort(files.begin(), files.end(),
            [](const auto& a, const auto& b) { return a.name < b.name; });
  return files;
}

// The name of a case as a test's name: letters and digits only.
struct HostileSettingsName {
  std::string operator()(const testing::TestParamInfo<HostileSettingsFile>& info) const {
    std::string name;
    bool upper = true;
    for (const char c : info.param.name) {
      if (c == '-') {
        upper = true;
        continue;
      }
      name += upper && c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
      upper = false;
    }
    return name;
  }
};

// One section of a file: its header's name (ASCII letters in lower case)
// and its bytes, from the header to the next header.
struct FileSection {
  std::string name;
  std::string bytes;
};

// The sections of a profile's bytes, split as the reader splits them: lines
// end at CR LF, LF or CR, a line whose first non-blank byte is '[' opens a
// section, and a UTF-8 byte-order mark at the start is no part of a line.
inline std::vector<FileSection> SectionsOf(std::string_view bytes) {
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
  std::vector<FileSection> sections;
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t end = bytes.find_first_of("\r\n", start);
    end = end == std::string_view::npos ? bytes.size()
                                        : end + (bytes.substr(end, 2) == "\r\n" ? 2 : 1);
    const std::string_view line = bytes.substr(start, end - start);
    const std::size_t first = line.find_first_not_of(" \t");
    if (first != std::string_view::npos && line[first] == '[') {
      std::string name(line.substr(first + 1, line.find_first_of("]\r\n", first + 1) - first - 1));
      name.erase(0, name.find_first_not_of(" \t"));
      name.erase(name.find_last_not_of(" \t") + 1);
      for (char& c : name) c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
      sections.push_back({std::move(name), {}});
    }
    if (!sections.empty()) sections.back().bytes += line;
    start = end;
  }
  return sections;
}

// The sections of `original` that `saved` has lost: a section that OK
// writes into, the first [Main] and the first of each entry section up to
// the one that ended the table of `entriesRead` entries, must still be
// there by name; every other section must be there byte for byte.
inline std::vector<std::string> LostSections(std::string_view original, std::string_view saved,
                                             std::size_t entriesRead) {
  std::vector<std::string> written = {"main"};
  for (std::size_t i = 0; i <= entriesRead && i < SwapTable::kMaxEntries; ++i) {
    const std::u16string name = SwapSectionName(i);
    std::string lower(name.begin(), name.end());
    lower[0] = 's';
    written.push_back(lower);
  }
  const std::vector<FileSection> after = SectionsOf(saved);
  std::vector<std::string> seen;
  std::vector<std::string> lost;
  for (const FileSection& section : SectionsOf(original)) {
    const bool first = std::find(seen.begin(), seen.end(), section.name) == seen.end();
    seen.push_back(section.name);
    const bool rewritten =
        first && std::find(written.begin(), written.end(), section.name) != written.end();
    const bool kept = std::any_of(after.begin(), after.end(), [&](const FileSection& now) {
      return rewritten ? now.name == section.name : now.bytes == section.bytes;
    });
    if (!kept) lost.push_back(section.bytes.substr(0, 40));
  }
  return lost;
}

// The entries that carry a mark: those holding the file's own text.
inline std::size_t MarkedEntries(const SwapTable& table) {
  return static_cast<std::size_t>(std::count_if(
      table.begin(), table.end(), [](const SwapEntry& entry) { return !entry.kept.empty(); }));
}

// What the settings dialog edits, and so what OK may not change.
inline void ExpectSameDialogSettings(const AppSettings& loaded, const AppSettings& reloaded) {
  EXPECT_EQ(reloaded.rules.tabSpace, loaded.rules.tabSpace);
  EXPECT_EQ(reloaded.convertTrigger, loaded.convertTrigger);
  EXPECT_EQ(reloaded.rules.columns, loaded.rules.columns);
  EXPECT_TRUE(reloaded.rules.table == loaded.rules.table)
      << reloaded.rules.table.Count() << " entries, " << loaded.rules.table.Count() << " loaded";
}

}  // namespace mirotabe::testing_support
