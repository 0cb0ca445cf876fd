// An advisory lock on a file that lasts as long as its holder, and not a
// moment longer: the system drops it when the process ends, however it
// ends (a crash, kill -9), so that a lock nobody holds marks what a
// process that is gone left behind.
#pragma once

#include <optional>
#include <string>

namespace mirotabe {

class FileLock {
 public:
  // Locks the file at `path`, made when missing, unless another holder
  // (in this process or another) has it; none then, or when it cannot be
  // made.
  static std::optional<FileLock> TryLock(const std::string& path);

  FileLock(FileLock&& other) noexcept;
  FileLock& operator=(FileLock&& other) noexcept;
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  ~FileLock();

  const std::string& path() const { return path_; }

  // Gives the lock up and removes its file.
  void Remove() &&;

 private:
  FileLock(std::string path, int fd) : path_(std::move(path)), fd_(fd) {}

  std::string path_;
  int fd_ = -1;
};

}  // namespace mirotabe
