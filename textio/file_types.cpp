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

constexpr std::array<FileType, 2> kVerticalSaveTypes{{
    {u"縦書きテキスト Shift_JIS (*.txt)", u"*.txt"},
    {u"縦書きテキスト UTF-8 (*.txt)", u"*.txt"},
}};
constexpr std::array<FileType, 2> kHorizontalSaveTypes{{
    {u"横書きテキスト Shift_JIS (*.txt)", u"*.txt"},
    {u"横書きテキスト UTF-8 (*.txt)", u"*.txt"},
}};

}  // namespace

const std::array<FileType, 2>& SaveFileTypes(SavedText text) {
  return text == SavedText::kVertical ? kVerticalSaveTypes : kHorizontalSaveTypes;
}

std::size_t SaveFileTypeIndex(Charset charset) {
  return charset == Charset::Utf8 ? 1 : 0;
}

Charset SaveFileTypeCharset(std::size_t index) {
  return index == 1 ? Charset::Utf8 : Charset::Cp932;
}

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
