#include "core/recent_files.h"

#include <algorithm>

namespace mirotabe {

std::vector<std::string> WithRecentFile(std::vector<std::string> files, const std::string& file) {
  std::erase(files, file);
  files.insert(files.begin(), file);
  if (files.size() > kMaxRecentFiles) files.resize(kMaxRecentFiles);
  return files;
}

std::u16string RecentFileCaption(std::size_t number, std::u16string_view shownPath) {
  std::u16string caption = u"&";
  caption += static_cast<char16_t>(u'0' + number % 10);
  caption += u' ';
  for (const char16_t unit : shownPath) {
    if (unit == u'&') caption += u'&';
    caption += unit;
  }
  return caption;
}

}  // namespace mirotabe
