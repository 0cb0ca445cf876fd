#include "platform/sys_calls.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace mirotabe::sys_calls_detail {

// open() is variadic and several calls may be fortified inline wrappers, so
// each is reached through a plain function of the table's type. Constant
// initialisation: the table is in place before any other static runs.
constexpr SysCalls kSystemCalls{
    [](const char* path, int flags, mode_t mode) { return ::open(path, flags, mode); },
    [](int fd) { return ::close(fd); },
    [](int fd, void* buffer, std::size_t size) { return ::read(fd, buffer, size); },
    [](int fd, const void* buffer, std::size_t size) { return ::write(fd, buffer, size); },
    [](int fd) { return ::fsync(fd); },
    [](int fd, struct stat* info) { return ::fstat(fd, info); },
    [](const char* path, struct stat* info) { return ::stat(path, info); },
    [](const char* path, struct stat* info) { return ::lstat(path, info); },
    [](int fd, mode_t mode) { return ::fchmod(fd, mode); },
    [](int fd, uid_t owner, gid_t group) { return ::fchown(fd, owner, group); },
    [](int folderFd, const char* path, int mode, int flags) {
      return ::faccessat(folderFd, path, mode, flags);
    },
    [](int fromFolderFd, const char* from, int toFolderFd, const char* to, int flags) {
      return ::linkat(fromFolderFd, from, toFolderFd, to, flags);
    },
    [](const char* from, const char* to) { return std::rename(from, to); },
    [](const char* path) { return ::unlink(path); },
    [](const char* path, mode_t mode) { return ::mkdir(path, mode); },
    [](int fd, off_t offset, int whence) { return ::lseek(fd, offset, whence); },
    [](int fd, off_t size) { return ::ftruncate(fd, size); },
    [](int fd, int mode, off_t offset, off_t size) {
#if defined(__EMSCRIPTEN__)
      // The browser's file systems take no room ahead.
      (void)fd, (void)mode, (void)offset, (void)size;
      errno = EOPNOTSUPP;
      return -1;
#else
      return ::fallocate(fd, mode, offset, size);
#endif
    },
};

}  // namespace mirotabe::sys_calls_detail
