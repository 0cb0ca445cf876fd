#include "platform/windows_text.h"

#include <windows.h>

#include "platform/charset.h"
#include "platform/path_text.h"

namespace mirotabe {

// wchar_t is a UTF-16 unit on Windows.
static_assert(sizeof(wchar_t) == sizeof(char16_t));

std::wstring WideOf(std::string_view utf8) {
  const std::u16string text = Decode(utf8, Charset::Utf8);
  return std::wstring(text.begin(), text.end());
}

std::string Utf8Of(std::wstring_view wide) {
  const std::u16string text(wide.begin(), wide.end());
  return Encode(text, Charset::Utf8).bytes;
}

namespace {

// Below this many units a path works with every call as it is; from
// MAX_PATH less the room CreateDirectory keeps for a file name on, only
// as "\\?\C:\..." (or "\\?\UNC\server\..."), which Windows takes exactly
// as written: so a long path is first made absolute and whole ("." and
// "..", '/' as '\') by GetFullPathNameW.
constexpr std::size_t kShortPath = MAX_PATH - 12;

}  // namespace

std::wstring WindowsPath(std::string_view path) {
  std::wstring wide = WideOf(path);
  if (wide.size() < kShortPath || wide.starts_with(L"\\\\?\\")) return wide;
  const DWORD size = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (size == 0) return wide;
  std::wstring full(size, L'\0');
  const DWORD written = GetFullPathNameW(wide.c_str(), size, full.data(), nullptr);
  if (written == 0 || written >= size) return wide;
  full.resize(written);
  if (full.starts_with(L"\\\\")) return L"\\\\?\\UNC\\" + full.substr(2);
  return L"\\\\?\\" + full;
}

std::filesystem::path FsPath(std::string_view utf8) {
  return std::filesystem::path(WindowsPath(utf8));
}

}  // namespace mirotabe
