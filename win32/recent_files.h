// The Windows window's list of recent files, kept in a file of the user's
// state folder that every running window shares: read afresh for each
// look, so that what other windows added shows too, and written at each
// change. The file holds the paths as UTF-8 lines, newest first.
#pragma once

#include <string>
#include <vector>

#include "platform/io_error.h"

namespace mirotabe::win32 {

class RecentFiles {
 public:
  // Keeps the list in `file`; "" keeps none, for a window that must leave
  // nothing behind.
  explicit RecentFiles(std::string file) : file_(std::move(file)) {}

  // The files kept, newest first; none where the file is missing or
  // cannot be read.
  std::vector<std::string> Read() const;
  // Puts `path` first (core/recent_files.h).
  IoStatus Add(const std::string& path);
  IoStatus Remove(const std::string& path);
  IoStatus Clear();

 private:
  IoStatus Write(const std::vector<std::string>& files);

  std::string file_;
};

}  // namespace mirotabe::win32
