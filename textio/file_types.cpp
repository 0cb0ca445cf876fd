#include "textio/file_types.h"

#include <algorithm>

namespace mirotabe {

std::string WithTextExtension(const std::string& path) {
  // ".txt" is ASCII, so its last four characters are its last four bytes.
  constexpr std::string_view kExtension = ".TXT";
  const std::string_view last =
      std::string_view(path).substr(path.size() - std::min(path.size(), kExtension.size()));
  const bool hasIt = std::equal(
      last.begin(), last.end(), kExtension.begin(), kExtension.end(), [](char a, char b) {
        return (a >= 'a' && a <= 'z' ? static_cast<char>(a - 'a' + 'A') : a) == b;
      });
  return hasIt ? path : path + ".txt";
}

}  // namespace mirotabe
