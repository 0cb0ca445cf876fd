#include "platform/folder_names.h"

#include <filesystem>
#include <system_error>

#include "platform/path_text.h"

namespace mirotabe {

std::vector<std::string> NamesInFolder(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code error;
  for (std::filesystem::directory_iterator entry(FsPath(folder), error), end;
       !error && entry != end; entry.increment(error)) {
    names.push_back(Utf8Path(entry->path().filename()));
  }
  return names;
}

}  // namespace mirotabe
