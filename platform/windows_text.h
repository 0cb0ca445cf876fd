// UTF-8, the program's file names and arguments, to and from the UTF-16 of
// the wide Windows calls, through the program's own codecs. A lone
// surrogate in a Windows name becomes '?' in UTF-8, and a bad UTF-8 byte
// U+FFFD, as everywhere else in the program.
#pragma once

#include <string>
#include <string_view>

namespace mirotabe {

std::wstring WideOf(std::string_view utf8);
std::string Utf8Of(std::wstring_view wide);

// The UTF-8 `path` as the wide calls take it, of any length: one of
// MAX_PATH units or more is made absolute and whole, and written as
// "\\?\C:\..." (or "\\?\UNC\server\...").
std::wstring WindowsPath(std::string_view path);

}  // namespace mirotabe
