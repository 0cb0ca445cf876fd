// File names as the program holds them, UTF-8 in a std::string, and as
// std::filesystem takes them. A path made from a std::string reads it in
// the system's narrow encoding, which on Windows is the ANSI code page, not
// UTF-8 (山田 would come back garbled): these go through char8_t instead.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace mirotabe {

// What separates the folders of a path: Windows takes '\' as well as '/'.
#if defined(_WIN32)
inline constexpr std::string_view kPathSeparators = "/\\";
#else
inline constexpr std::string_view kPathSeparators = "/";
#endif

#if defined(_WIN32)
// On Windows a long path is written as "\\?\C:\...", which std::filesystem
// too needs to reach it (see WindowsPath).
std::filesystem::path FsPath(std::string_view utf8);
#else
inline std::filesystem::path FsPath(std::string_view utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}
#endif

inline std::string Utf8Path(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

}  // namespace mirotabe
