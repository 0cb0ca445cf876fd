#include "textio/file_types.h"

#include <algorithm>

namespace mirotabe {
namespace {

// Whether `path` ends in `extension` (upper-case ASCII) in any letter case:
// its last characters are its last bytes.
bool EndsIn(std::string_view path, std::string_view extension) {
  const std::string_view last = path.substr(path.size() - std::min(path.size(), extension.size()));
  return std::equal(last.begin(), last.end(), extension.begin(), extension.end(),
                    [](char a, char b) {
                      return (a >= 'a' && a <= 'z' ? static_cast<char>(a - 'a' + 'A') : a) == b;
                    });
}

}  // namespace

std::string WithTextExtension(const std::string& path) {
  return EndsIn(path, ".TXT") ? path : path + ".txt";
}

std::string WithEbookExtension(const std::string& path) {
  return EndsIn(path, ".EPUB") ? path : path + ".epub";
}

PictureName PictureNameOf(const std::string& chosen, bool pdfSelected) {
  if (EndsIn(chosen, ".PDF")) return {chosen, true};
  if (EndsIn(chosen, ".PNG")) return {chosen, false};
  return {chosen + (pdfSelected ? ".pdf" : ".png"), pdfSelected};
}

}  // namespace mirotabe
