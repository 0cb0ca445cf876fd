#include "platform/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <system_error>
#include <utility>

namespace mirotabe {
namespace {

IoError ErrorOf(const std::string& path, int code) {
  return IoError{path, std::error_code(code, std::system_category())};
}

// Closes `fd` without letting close() overwrite the errno of the failure
// that is being reported.
void CloseKeepingErrno(int fd) {
  const int saved = errno;
  close(fd);
  errno = saved;
}

// Appends everything up to the end of `fd` to `out`, resuming after signals.
// False with errno set when a read fails.
bool ReadAll(int fd, std::string& out) {
  char buffer[64 * 1024];
  for (;;) {
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n > 0) {
      out.append(buffer, static_cast<std::size_t>(n));
    } else if (n == 0) {
      return true;
    } else if (errno != EINTR) {
      return false;
    }
  }
}

// Writes all of `bytes`, resuming after signals and short writes. False
// with errno set when a write fails (a full disk, a file size limit).
bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = write(fd, bytes.data(), bytes.size());
    if (n >= 0) {
      bytes.remove_prefix(static_cast<std::size_t>(n));
    } else if (errno != EINTR) {
      return false;
    }
  }
  return true;
}

// The folder part of `path`: "a/b" -> "a", "b" -> ".", "/b" -> "/".
std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (!folder.empty() && folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

// The file that a write to `path` lands in: `path` itself, or the end of
// its chain of symbolic links, which may not exist yet (writing through a
// dangling link creates its target, as the shell's ">" does). Errors name
// `path`, the file the caller knows.
IoResult<std::string> FollowLinks(const std::string& path) {
  // The kernel's own limit on links in one lookup.
  constexpr int kMaxLinks = 40;
  std::string current = path;
  for (int hops = 0; hops < kMaxLinks; ++hops) {
    struct stat info;
    if (lstat(current.c_str(), &info) != 0) {
      if (errno == ENOENT) return current;
      return LastIoError(path);
    }
    if (!S_ISLNK(info.st_mode)) return current;
    std::error_code code;
    const std::string target = std::filesystem::read_symlink(current, code).string();
    if (code) return IoError{path, code};
    current =
        !target.empty() && target.front() == '/' ? target : JoinPath(FolderOf(current), target);
  }
  return ErrorOf(path, ELOOP);
}

// The process's umask, read without changing it: umask() can only be read
// by setting it, which would race with other threads creating files.
mode_t CurrentUmask() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("Umask:", 0) == 0) {
      return static_cast<mode_t>(std::strtoul(line.c_str() + 6, nullptr, 8));
    }
  }
  return 022;
}

// What the new file takes over from the one it replaces.
struct Replaced {
  mode_t mode = 0;                 // the permissions of the new file
  std::optional<struct stat> old;  // the file being replaced, if there is one
};

// Looks at the file a save would replace; an error when it must not be.
IoResult<Replaced> InspectTarget(const std::string& path, const std::string& file) {
  struct stat info;
  if (stat(file.c_str(), &info) != 0) {
    if (errno != ENOENT) return LastIoError(path);
    return Replaced{static_cast<mode_t>(0666 & ~CurrentUmask()), std::nullopt};
  }
  if (S_ISDIR(info.st_mode)) return ErrorOf(path, EISDIR);
  // Renaming needs only the folder's write permission, so without this
  // check a save would replace a file that the user made read-only.
  if ((info.st_mode & 0222) == 0) return ErrorOf(path, EACCES);
  return Replaced{static_cast<mode_t>(info.st_mode & 07777), info};
}

// Gives the new file the old one's owner and permissions. Changing the
// owner is best effort: it only matters (and only works) when root edits
// another user's file, which would otherwise become root's.
bool CopyAttributes(int fd, const Replaced& replaced) {
  const std::optional<struct stat>& old = replaced.old;
  if (old && (old->st_uid != geteuid() || old->st_gid != getegid())) {
    if (fchown(fd, old->st_uid, old->st_gid) != 0) {
      // Keeping our own ownership still leaves a correct file.
    }
  }
  return fchmod(fd, replaced.mode) == 0;
}

// Flushes the folder so that the rename itself survives a crash. Best
// effort: the file is already complete either way.
void SyncFolder(const std::string& folder) {
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

// Removes an unfinished temporary file and reports the failure in errno
// that stopped it.
IoError RemoveTemporary(const std::string& temporary, const std::string& path) {
  const int saved = errno;
  unlink(temporary.c_str());
  return ErrorOf(path, saved);
}

IoStatus MakeOneFolder(const std::string& folder) {
  if (mkdir(folder.c_str(), 0777) == 0) return std::nullopt;
  const int mkdirError = errno;
  struct stat info;
  if (stat(folder.c_str(), &info) == 0) {
    if (S_ISDIR(info.st_mode)) return std::nullopt;
    return ErrorOf(folder, ENOTDIR);
  }
  return ErrorOf(folder, mkdirError);
}

}  // namespace

IoResult<std::string> ReadFileBytes(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return LastIoError(path);
  struct stat info;
  if (fstat(fd, &info) != 0) {
    CloseKeepingErrno(fd);
    return LastIoError(path);
  }
  if (S_ISDIR(info.st_mode)) {
    close(fd);
    return ErrorOf(path, EISDIR);
  }
  std::string bytes;
  if (S_ISREG(info.st_mode)) bytes.reserve(static_cast<std::size_t>(info.st_size));
  if (!ReadAll(fd, bytes)) {
    CloseKeepingErrno(fd);
    return LastIoError(path);
  }
  close(fd);
  return bytes;
}

IoResult<std::string> ReadDescriptorBytes(int fd, const std::string& name) {
  std::string bytes;
  if (!ReadAll(fd, bytes)) return LastIoError(name);
  return bytes;
}

IoStatus WriteDescriptorBytes(int fd, std::string_view bytes, const std::string& name) {
  if (!WriteAll(fd, bytes)) return LastIoError(name);
  return std::nullopt;
}

IoStatus ReplaceFileAtomically(const std::string& path, std::string_view bytes) {
  IoResult<AtomicFileWriter> writer = AtomicFileWriter::Begin(path);
  if (!writer) return writer.error();
  if (IoStatus failed = writer.value().Write(bytes)) return failed;
  return writer.value().Commit();
}

IoResult<AtomicFileWriter> AtomicFileWriter::Begin(const std::string& path) {
  IoResult<std::string> target = FollowLinks(path);
  if (!target) return target.error();
  const std::string& file = target.value();

  const IoResult<Replaced> replaced = InspectTarget(path, file);
  if (!replaced) return replaced.error();

  AtomicFileWriter writer;
  writer.path_ = path;
  writer.file_ = file;
  writer.mode_ = replaced.value().mode;
  if (const std::optional<struct stat>& old = replaced.value().old) {
    writer.hasOld_ = true;
    writer.oldUid_ = old->st_uid;
    writer.oldGid_ = old->st_gid;
  }
  // Hidden, beside the target: rename() is only atomic within one file system.
  writer.temporary_ = JoinPath(FolderOf(file), "." + NameOf(file) + ".XXXXXX");
  writer.fd_ = mkostemp(writer.temporary_.data(), O_CLOEXEC);
  if (writer.fd_ < 0) return LastIoError(path);
  return writer;
}

AtomicFileWriter::AtomicFileWriter(AtomicFileWriter&& other) noexcept
    : path_(std::move(other.path_)),
      file_(std::move(other.file_)),
      temporary_(std::move(other.temporary_)),
      fd_(std::exchange(other.fd_, -1)),
      mode_(other.mode_),
      hasOld_(other.hasOld_),
      oldUid_(other.oldUid_),
      oldGid_(other.oldGid_) {}

AtomicFileWriter& AtomicFileWriter::operator=(AtomicFileWriter&& other) noexcept {
  if (this != &other) {
    Abandon();
    path_ = std::move(other.path_);
    file_ = std::move(other.file_);
    temporary_ = std::move(other.temporary_);
    fd_ = std::exchange(other.fd_, -1);
    mode_ = other.mode_;
    hasOld_ = other.hasOld_;
    oldUid_ = other.oldUid_;
    oldGid_ = other.oldGid_;
  }
  return *this;
}

AtomicFileWriter::~AtomicFileWriter() {
  Abandon();
}

void AtomicFileWriter::Abandon() {
  if (fd_ < 0) return;
  const int saved = errno;
  close(fd_);
  unlink(temporary_.c_str());
  fd_ = -1;
  errno = saved;
}

IoStatus AtomicFileWriter::Write(std::string_view bytes) {
  if (fd_ < 0) return ErrorOf(path_, EBADF);
  if (!WriteAll(fd_, bytes)) {
    const IoError error = LastIoError(path_);
    Abandon();
    return error;
  }
  return std::nullopt;
}

IoStatus AtomicFileWriter::Commit() {
  if (fd_ < 0) return ErrorOf(path_, EBADF);
  Replaced replaced{static_cast<mode_t>(mode_), std::nullopt};
  if (hasOld_) {
    struct stat old {};
    old.st_uid = oldUid_;
    old.st_gid = oldGid_;
    replaced.old = old;
  }
  if (!CopyAttributes(fd_, replaced) || fsync(fd_) != 0) {
    const IoError error = LastIoError(path_);
    Abandon();
    return error;
  }
  const int fd = std::exchange(fd_, -1);
  if (close(fd) != 0 || rename(temporary_.c_str(), file_.c_str()) != 0) {
    return RemoveTemporary(temporary_, path_);
  }
  SyncFolder(FolderOf(file_));
  return std::nullopt;
}

IoStatus MakeFolders(const std::string& folder) {
  // Each prefix that ends before a '/' (and the whole path) is one folder;
  // empty prefixes ("/a", "a//b") are skipped.
  for (std::size_t end = folder.find('/', 1);; end = folder.find('/', end + 1)) {
    const std::string prefix = folder.substr(0, end);
    if (!prefix.empty() && prefix.back() != '/') {
      if (IoStatus error = MakeOneFolder(prefix)) return error;
    }
    if (end == std::string::npos) return std::nullopt;
  }
}

}  // namespace mirotabe
