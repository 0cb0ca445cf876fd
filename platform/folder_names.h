// The names in a folder, as UTF-8. On Windows std::filesystem lists
// through the C runtime's opendir, which takes no path of MAX_PATH
// characters or more (mingw's lists the current folder instead): there the
// wide Find calls list it.
#pragma once

#include <string>
#include <vector>

namespace mirotabe {

// Every name in `folder` but "." and ".."; none when it cannot be read.
std::vector<std::string> NamesInFolder(const std::string& folder);

}  // namespace mirotabe
