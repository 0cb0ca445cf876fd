// The system calls that platform/ makes on files, called through one table
// so that tests can make any of them fail (a full disk, a read-only file
// system, an interrupting signal, a short write) without having to bring
// the failure about for real, and without depending on who runs them.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#if defined(_WIN32)
#include "platform/posix_on_windows.h"
#endif

#include <cstddef>

namespace mirotabe {

struct SysCalls {
  int (*open)(const char* path, int flags, mode_t mode);
  int (*close)(int fd);
  ssize_t (*read)(int fd, void* buffer, std::size_t size);
  ssize_t (*write)(int fd, const void* buffer, std::size_t size);
  int (*fsync)(int fd);
  int (*fstat)(int fd, struct stat* info);
  int (*stat)(const char* path, struct stat* info);
  int (*lstat)(const char* path, struct stat* info);
  int (*fchmod)(int fd, mode_t mode);
  int (*fchown)(int fd, uid_t owner, gid_t group);
  int (*faccessat)(int folderFd, const char* path, int mode, int flags);
  int (*linkat)(int fromFolderFd, const char* from, int toFolderFd, const char* to, int flags);
  int (*rename)(const char* from, const char* to);
  int (*unlink)(const char* path);
  int (*mkdir)(const char* path, mode_t mode);
  off_t (*lseek)(int fd, off_t offset, int whence);
  int (*ftruncate)(int fd, off_t size);
  int (*fallocate)(int fd, int mode, off_t offset, off_t size);
};

// The calls of the operating system itself. On Windows they take UTF-8
// paths, with '/' or '\\', of any length, and set errno as the POSIX calls
// do.
const SysCalls& RealSysCalls();

namespace sys_calls_detail {
// This platform's table, defined beside the calls it wraps.
extern const SysCalls kSystemCalls;
extern const SysCalls* current;
}  // namespace sys_calls_detail

// The table in use: the real calls unless a ScopedSysCalls is alive.
inline const SysCalls& Sys() {
  return *sys_calls_detail::current;
}

// Puts `calls` in place of the table in use for its own lifetime. For
// tests; not meant to be used while other threads make file calls.
class ScopedSysCalls {
 public:
  explicit ScopedSysCalls(const SysCalls& calls);
  ~ScopedSysCalls();
  ScopedSysCalls(const ScopedSysCalls&) = delete;
  ScopedSysCalls& operator=(const ScopedSysCalls&) = delete;

 private:
  const SysCalls* previous_;
};

}  // namespace mirotabe
