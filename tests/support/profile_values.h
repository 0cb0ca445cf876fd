// One value of a profile file in one call, for tests: the program loads a
// ProfileFile once and reads or writes all its values through it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/profile.h"

namespace mirotabe::testing_support {

inline std::int32_t IniReadInt(const std::string& path, std::u16string_view section,
                               std::u16string_view key, std::int32_t defaultValue) {
  const mirotabe::IoResult<mirotabe::ProfileFile> profile = mirotabe::ProfileFile::Load(path);
  if (!profile) return defaultValue;
  return profile.value().ReadInt(section, key, defaultValue);
}

inline std::u16string IniReadString(const std::string& path, std::u16string_view section,
                                    std::u16string_view key, std::u16string_view defaultValue) {
  const mirotabe::IoResult<mirotabe::ProfileFile> profile = mirotabe::ProfileFile::Load(path);
  if (!profile) return std::u16string(defaultValue);
  return profile.value().ReadString(section, key, defaultValue);
}

// Loads the file at `path`, writes the one value and saves it.
inline mirotabe::IoStatus IniWriteString(const std::string& path, std::u16string_view section,
                                         std::u16string_view key, std::u16string_view value) {
  mirotabe::IoResult<mirotabe::ProfileFile> profile = mirotabe::ProfileFile::Load(path);
  if (!profile) return profile.error();
  profile.value().WriteString(section, key, value);
  return profile.value().Save();
}

}  // namespace mirotabe::testing_support
