// The call table on Windows: the POSIX calls of the shared file code made
// with the wide (UTF-16) calls of the C runtime and of Win32, so that every
// file name reaches Windows whole, whatever the ANSI code page.
#include <windows.h>
// After windows.h, which they need.
#include <io.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cwctype>
#include <string>

#include "platform/sys_calls.h"
#include "platform/windows_text.h"

namespace mirotabe {
namespace {

// The errno that stands for a Win32 error, as the C runtime maps them.
int ErrnoOf(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
      return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_PRIVILEGE_NOT_HELD:
      return EACCES;
    case ERROR_WRITE_PROTECT:
      return EROFS;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return ENOSPC;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return EEXIST;
    case ERROR_FILENAME_EXCED_RANGE:
      return ENAMETOOLONG;
    case ERROR_DIRECTORY:
      return ENOTDIR;
    case ERROR_DIR_NOT_EMPTY:
      return ENOTEMPTY;
    case ERROR_NOT_SAME_DEVICE:
      return EXDEV;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
      return ENOMEM;
    case ERROR_TOO_MANY_OPEN_FILES:
      return EMFILE;
    case ERROR_NOT_SUPPORTED:
      return EOPNOTSUPP;
    default:
      return EIO;
  }
}

int FailWithLastError() {
  errno = ErrnoOf(GetLastError());
  return -1;
}

// Whether `path` names one of the devices that every folder has on
// Windows (NUL, CON, COM1, ...), whatever its folder and extension.
bool IsDeviceName(const std::wstring& path) {
  const std::size_t slash = path.find_last_of(L"/\\:");
  std::wstring name = path.substr(slash == std::wstring::npos ? 0 : slash + 1);
  name = name.substr(0, name.find(L'.'));
  while (!name.empty() && name.back() == L' ') name.pop_back();
  std::transform(name.begin(), name.end(), name.begin(),
                 [](wchar_t c) { return static_cast<wchar_t>(std::towupper(c)); });
  if (name == L"NUL" || name == L"CON" || name == L"PRN" || name == L"AUX" || name == L"CONIN$" ||
      name == L"CONOUT$") {
    return true;
  }
  return name.size() == 4 && (name.starts_with(L"COM") || name.starts_with(L"LPT")) &&
         name[3] >= L'1' && name[3] <= L'9';
}

// The names a file has (hard links), which a save must keep whole.
short LinksOf(HANDLE file) {
  BY_HANDLE_FILE_INFORMATION information;
  if (GetFileInformationByHandle(file, &information) == 0) return 1;
  return static_cast<short>(std::min<DWORD>(information.nNumberOfLinks, SHRT_MAX));
}

std::int64_t UnixSeconds(const FILETIME& time) {
  // FILETIME counts 100 ns from 1601; Unix time seconds from 1970.
  constexpr std::int64_t kTicksPerSecond = 10'000'000;
  constexpr std::int64_t kSecondsFrom1601To1970 = 11'644'473'600;
  const std::int64_t ticks =
      static_cast<std::int64_t>(time.dwHighDateTime) << 32 | time.dwLowDateTime;
  return ticks / kTicksPerSecond - kSecondsFrom1601To1970;
}

int StatPath(const char* path, struct stat* info) {
  const std::wstring wide = WindowsPath(path);
  *info = {};
  if (IsDeviceName(wide)) {
    info->st_mode = S_IFCHR | 0666;
    info->st_nlink = 1;
    return 0;
  }
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (GetFileAttributesExW(wide.c_str(), GetFileExInfoStandard, &data) == 0) {
    return FailWithLastError();
  }
  const bool folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  const bool readOnly = (data.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
  info->st_mode = static_cast<unsigned short>((folder ? S_IFDIR : S_IFREG) | S_IREAD |
                                              (readOnly && !folder ? 0 : S_IWRITE));
  info->st_size = static_cast<std::int64_t>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
  info->st_mtime = UnixSeconds(data.ftLastWriteTime);
  info->st_nlink = 1;
  if (!folder) {
    const HANDLE file =
        CreateFileW(wide.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      info->st_nlink = LinksOf(file);
      CloseHandle(file);
    }
  }
  return 0;
}

int OpenPath(const char* path, int flags, mode_t mode) {
  if ((flags & (O_TMPFILE | O_DIRECTORY)) != 0) {
    errno = EOPNOTSUPP;
    return -1;
  }
  const std::wstring wide = WindowsPath(path);
  // Binary: the bytes as they are, no CR added before LF and no end at
  // Ctrl-Z.
  const int fd = _wopen(wide.c_str(), flags | _O_BINARY | _O_NOINHERIT,
                        (mode & 0200) != 0 ? _S_IREAD | _S_IWRITE : _S_IREAD);
  // The C runtime cannot open a folder and says only "Permission denied".
  if (fd < 0 && errno == EACCES) {
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      errno = EISDIR;
    }
  }
  return fd;
}

unsigned ClampedSize(std::size_t size) {
  return static_cast<unsigned>(std::min<std::size_t>(size, INT_MAX));
}

}  // namespace

namespace sys_calls_detail {

constexpr SysCalls kSystemCalls{
    OpenPath,
    [](int fd) { return _close(fd); },
    [](int fd, void* buffer, std::size_t size) -> ssize_t {
      return _read(fd, buffer, ClampedSize(size));
    },
    [](int fd, const void* buffer, std::size_t size) -> ssize_t {
      return _write(fd, buffer, ClampedSize(size));
    },
    [](int fd) { return _commit(fd); },
    [](int fd, struct stat* info) {
      if (_fstat64(fd, info) != 0) return -1;
      const auto file = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
      if (S_ISREG(info->st_mode) && file != INVALID_HANDLE_VALUE) info->st_nlink = LinksOf(file);
      return 0;
    },
    StatPath,
    // Windows follows no links in a save's way: a link is looked at as
    // what it leads to.
    StatPath,
    // Windows files have only a read-only mark, which a save over an
    // existing file has already checked.
    [](int /*fd*/, mode_t /*mode*/) { return 0; },
    [](int /*fd*/, uid_t /*owner*/, gid_t /*group*/) { return 0; },
    [](int /*folderFd*/, const char* path, int mode, int /*flags*/) {
      return _waccess(WindowsPath(path).c_str(), mode);
    },
    // Only a file without a name is ever linked, and Windows makes none.
    [](int /*fromFolderFd*/, const char* /*from*/, int /*toFolderFd*/, const char* /*to*/,
       int /*flags*/) {
      errno = ENOSYS;
      return -1;
    },
    // The one atomic replace of Windows, flushed before it returns.
    [](const char* from, const char* to) {
      if (MoveFileExW(WindowsPath(from).c_str(), WindowsPath(to).c_str(),
                      MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) == 0) {
        return FailWithLastError();
      }
      return 0;
    },
    [](const char* path) { return _wunlink(WindowsPath(path).c_str()); },
    [](const char* path, mode_t /*mode*/) { return _wmkdir(WindowsPath(path).c_str()); },
    [](int fd, off_t offset, int whence) -> off_t { return _lseeki64(fd, offset, whence); },
    [](int fd, off_t size) {
      if (const errno_t error = _chsize_s(fd, size); error != 0) {
        errno = error;
        return -1;
      }
      return 0;
    },
    // Windows takes no room ahead through the C runtime.
    [](int /*fd*/, int /*mode*/, off_t /*offset*/, off_t /*size*/) {
      errno = EOPNOTSUPP;
      return -1;
    },
};

}  // namespace sys_calls_detail

}  // namespace mirotabe
