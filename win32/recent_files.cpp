#include "win32/recent_files.h"

#include <algorithm>
#include <filesystem>

#include "core/recent_files.h"
#include "platform/files.h"
#include "platform/windows_text.h"

namespace mirotabe::win32 {

std::vector<std::string> RecentFiles::Read() const {
  std::vector<std::string> files;
  if (file_.empty()) return files;
  const IoResult<std::string> bytes = ReadFileBytes(file_);
  if (!bytes) return files;
  const std::string& text = bytes.value();
  for (std::size_t at = 0; at < text.size() && files.size() < kMaxRecentFiles;) {
    std::size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(at, end - at);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) files.push_back(std::move(line));
    at = end + 1;
  }
  return files;
}

IoStatus RecentFiles::Add(const std::string& path) {
  return Write(WithRecentFile(Read(), path));
}

IoStatus RecentFiles::Remove(const std::string& path) {
  std::vector<std::string> files = Read();
  std::erase(files, path);
  return Write(files);
}

IoStatus RecentFiles::Clear() {
  return Write({});
}

IoStatus RecentFiles::Write(const std::vector<std::string>& files) {
  if (file_.empty()) return std::nullopt;
  const std::string folder = Utf8Of(std::filesystem::path(WideOf(file_)).parent_path().wstring());
  if (const IoStatus made = MakeFolders(folder); made.failed()) return made;
  std::string bytes;
  for (const std::string& file : files) (bytes += file) += '\n';
  return ReplaceFileAtomically(file_, bytes);
}

}  // namespace mirotabe::win32
