#include <windows.h>

#include <string_view>

#include "platform/folder_names.h"
#include "platform/windows_text.h"

namespace mirotabe {

std::vector<std::string> NamesInFolder(const std::string& folder) {
  std::vector<std::string> names;
  const std::wstring pattern = WindowsPath(folder) + L"\\*";
  WIN32_FIND_DATAW found;
  const HANDLE search =
      FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    const std::wstring_view name = found.cFileName;
    if (name != L"." && name != L"..") names.push_back(Utf8Of(name));
  } while (FindNextFileW(search, &found) != 0);
  FindClose(search);
  return names;
}

}  // namespace mirotabe
