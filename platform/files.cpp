#include "platform/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#if !defined(_WIN32)
#include <pthread.h>
#endif

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <new>
#include <optional>
#include <random>
#include <stdexcept>
#include <system_error>
#include <utility>

#include "platform/folder_names.h"
#include "platform/path_text.h"
#include "platform/sys_calls.h"

namespace mirotabe {
namespace {

IoError ErrorOf(const std::string& path, int code) {
  return IoError{path, ErrnoCode(code)};
}

IoError NotRegular(const std::string& path) {
  return IoError{path, MakeErrorCode(FileError::kNotRegularFile)};
}

// Closes `fd` without letting close() overwrite the errno of the failure
// that is being reported.
void CloseKeepingErrno(int fd) {
  const int saved = errno;
  Sys().close(fd);
  errno = saved;
}

// open(), resumed when a signal interrupts it (opening a FIFO waits).
int OpenResuming(const char* path, int flags, mode_t mode = 0) {
  for (;;) {
    const int fd = Sys().open(path, flags, mode);
    if (fd >= 0 || errno != EINTR) return fd;
  }
}

IoError TooLarge(const std::string& path, std::uint64_t size) {
  return IoError{path, MakeErrorCode(FileError::kTooLarge), size};
}

// Appends everything up to the end of `fd` to `out`, resuming after signals,
// as long as `out` stays within `maxBytes` and memory lasts. An error
// (errno set for a failed read) otherwise.
IoStatus ReadAll(int fd, std::string& out, std::size_t maxBytes, const std::string& path) {
  char buffer[64 * 1024];
  for (;;) {
    const ssize_t n = Sys().read(fd, buffer, sizeof buffer);
    if (n > 0) {
      const auto count = static_cast<std::size_t>(n);
      if (count > maxBytes - out.size()) return TooLarge(path, out.size() + count);
      try {
        out.append(buffer, count);
      } catch (const std::bad_alloc&) {
        return TooLarge(path, out.size() + count);
      }
    } else if (n == 0) {
      return std::nullopt;
    } else if (errno != EINTR) {
      return LastIoError(path);
    }
  }
}

// Writes all of `bytes`, resuming after signals and short writes. False
// with errno set when a write fails (a full disk, a file size limit).
bool WriteAll(int fd, std::string_view bytes) {
  const FileSizeLimitAsError limit;
  while (!bytes.empty()) {
    const ssize_t n = Sys().write(fd, bytes.data(), bytes.size());
    if (n > 0) {
      bytes.remove_prefix(static_cast<std::size_t>(n));
    } else if (n == 0) {
      // No progress and no reason: retrying could loop for ever.
      errno = EIO;
      return false;
    } else if (errno != EINTR) {
      return false;
    }
  }
  return true;
}

// The folder part of `path`: "a/b" -> "a", "b" -> ".", "/b" -> "/".
std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of(kPathSeparators);
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
  const std::size_t slash = path.find_last_of(kPathSeparators);
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (!folder.empty() && kPathSeparators.find(folder.back()) != std::string_view::npos) {
    return folder + name;
  }
  return folder + "/" + name;
}

// Where a chain of links went: the file a write lands in, and whether the
// chain passed through /proc (/dev/stdout -> /proc/self/fd/1 -> ...).
struct LinkEnd {
  std::string file;
  bool throughProc = false;
};

// The file that a write to `path` lands in: `path` itself, or the end of
// its chain of symbolic links, which may not exist yet (writing through a
// dangling link creates its target, as the shell's ">" does). Errors name
// `path`, the file the caller knows.
IoResult<LinkEnd> FollowLinks(const std::string& path) {
  // The kernel's own limit on links in one lookup.
  constexpr int kMaxLinks = 40;
  LinkEnd end{path};
  for (int hops = 0; hops < kMaxLinks; ++hops) {
    struct stat info;
    if (Sys().lstat(end.file.c_str(), &info) != 0) {
      if (errno == ENOENT) return end;
      return LastIoError(path);
    }
    if (!S_ISLNK(info.st_mode)) return end;
    if (end.file.starts_with("/proc/")) end.throughProc = true;
    std::error_code code;
    const std::string target = Utf8Path(std::filesystem::read_symlink(FsPath(end.file), code));
    if (code) return IoError{path, code};
    end.file =
        !target.empty() && target.front() == '/' ? target : JoinPath(FolderOf(end.file), target);
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

// Temporary files are ".KEY.mirotabe~XXXXXX": KEY stands for the target,
// and the six random letters keep saves running side by side apart.
constexpr std::string_view kTemporaryMark = ".mirotabe~";
constexpr std::size_t kRandomLetters = 6;
// A longer target name is stood for by its hash, so that the temporary name
// fits wherever the target's name fits, on every file system.
constexpr std::size_t kLongestKey = 16;
// A temporary file this much older than its last write was left by a save
// that was killed: a save in progress keeps writing into it.
constexpr auto kLeftoverAge = std::chrono::minutes(1);

bool IsLetterOrDigit(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

// The KEY of the temporary files of target `name`. The hash (FNV-1a, written
// out here because std::hash may differ between builds) must stay the same
// from one run to the next, so that a later save finds the leftovers.
std::string TemporaryKey(const std::string& name) {
  if (name.size() <= kLongestKey) return name;
  std::uint64_t hash = 0xcbf29ce484222325u;
  for (const char c : name) {
    hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3u;
  }
  static constexpr char kHex[] = "0123456789abcdef";
  std::string key(16, '0');
  for (char& digit : key) {
    digit = kHex[hash >> 60];
    hash <<= 4;
  }
  return key;
}

// "." + KEY + kTemporaryMark, the fixed start of every temporary name of
// target `name`.
std::string TemporaryPrefix(const std::string& name) {
  // Built by appending: GCC 12 warns falsely (-Wrestrict) of a literal
  // put in front of a temporary string.
  std::string prefix = ".";
  prefix += TemporaryKey(name);
  prefix += kTemporaryMark;
  return prefix;
}

// A name for a temporary file in `folder` beside `name`: hidden, and random
// so that saves running side by side never meet.
std::string TemporaryName(const std::string& folder, const std::string& name) {
  static constexpr char kLetters[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  thread_local std::mt19937_64 random{std::random_device{}()};
  std::uniform_int_distribution<std::size_t> pick(0, sizeof kLetters - 2);
  std::string suffix(kRandomLetters, ' ');
  for (char& c : suffix) c = kLetters[pick(random)];
  return JoinPath(folder, TemporaryPrefix(name) + suffix);
}

// Removes the temporary files that killed saves of target `name` left in
// `folder`: its own pattern only, and only once they have not been written
// for a minute, so that a save still in progress keeps its file. Best
// effort: a leftover that cannot be removed harms nothing.
void RemoveLeftovers(const std::string& folder, const std::string& name) {
  const std::string prefix = TemporaryPrefix(name);
  const auto now = std::chrono::system_clock::now();
  for (const std::string& found : NamesInFolder(folder)) {
    if (found.size() != prefix.size() + kRandomLetters || !found.starts_with(prefix) ||
        !std::all_of(found.begin() + static_cast<std::ptrdiff_t>(prefix.size()), found.end(),
                     IsLetterOrDigit)) {
      continue;
    }
    const std::string path = JoinPath(folder, found);
    struct stat info;
    if (Sys().lstat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) continue;
    const auto written = std::chrono::system_clock::from_time_t(info.st_mtime);
    if (now - written > kLeftoverAge) Sys().unlink(path.c_str());
  }
}

// Tries fresh names until `make` does not fail with EEXIST. The name made,
// or nullopt with errno set.
template <typename Make>
std::optional<std::string> WithFreshName(const std::string& folder, const std::string& name,
                                         Make make) {
  // 62^6 names: a clash is rare, and a hundred in a row means something
  // else is wrong.
  for (int tries = 0; tries < 100; ++tries) {
    std::string temporary = TemporaryName(folder, name);
    if (make(temporary)) return temporary;
    if (errno != EEXIST) return std::nullopt;
  }
  return std::nullopt;
}

// Flushes the folder so that the rename itself survives a crash. Best
// effort: the file is already complete either way.
void SyncFolder(const std::string& folder) {
  const int fd = OpenResuming(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  Sys().fsync(fd);
  Sys().close(fd);
}

// "C:", which names a drive rather than a folder to make.
bool IsDrive(const std::string& prefix) {
  return kPathSeparators.size() > 1 && prefix.size() == 2 && prefix[1] == ':';
}

IoStatus MakeOneFolder(const std::string& folder) {
  if (Sys().mkdir(folder.c_str(), 0777) == 0) return std::nullopt;
  const int mkdirError = errno;
  struct stat info;
  if (Sys().stat(folder.c_str(), &info) == 0) {
    if (S_ISDIR(info.st_mode)) return std::nullopt;
    return ErrorOf(folder, ENOTDIR);
  }
  // "File exists" would be no reason when the folder cannot even be looked at.
  return ErrorOf(folder, mkdirError == EEXIST ? errno : mkdirError);
}

// Reads `path` to its end, at most `maxBytes`. `regularOnly` refuses
// anything but a regular file, and opens without waiting for a FIFO's writer.
IoResult<std::string> ReadPath(const std::string& path, bool regularOnly, std::size_t maxBytes) {
  const int flags = O_RDONLY | O_CLOEXEC | O_NOCTTY | (regularOnly ? O_NONBLOCK : 0);
  const int fd = OpenResuming(path.c_str(), flags);
  if (fd < 0) return LastIoError(path);
  struct stat info;
  if (Sys().fstat(fd, &info) != 0) {
    CloseKeepingErrno(fd);
    return LastIoError(path);
  }
  if (S_ISDIR(info.st_mode) || (regularOnly && !S_ISREG(info.st_mode))) {
    Sys().close(fd);
    return S_ISDIR(info.st_mode) ? ErrorOf(path, EISDIR) : NotRegular(path);
  }
  std::string bytes;
  IoStatus failed;
  if (S_ISREG(info.st_mode)) {
    const auto size = static_cast<std::uint64_t>(info.st_size);
    if (size > maxBytes) {
      failed = TooLarge(path, size);
    } else {
      try {
        bytes.reserve(static_cast<std::size_t>(size));
      } catch (const std::bad_alloc&) {
        failed = TooLarge(path, size);
      } catch (const std::length_error&) {
        failed = TooLarge(path, size);
      }
    }
  }
  if (failed.ok()) failed = ReadAll(fd, bytes, maxBytes, path);
  if (failed.failed()) {
    CloseKeepingErrno(fd);
    return failed.error();
  }
  Sys().close(fd);
  return bytes;
}

}  // namespace

#if defined(_WIN32)
FileSizeLimitAsError::FileSizeLimitAsError() = default;
FileSizeLimitAsError::~FileSizeLimitAsError() = default;
#else
FileSizeLimitAsError::FileSizeLimitAsError() {
  sigemptyset(&signal_);
  sigaddset(&signal_, SIGXFSZ);
  pthread_sigmask(SIG_BLOCK, &signal_, &old_);
}

FileSizeLimitAsError::~FileSizeLimitAsError() {
  if (sigismember(&old_, SIGXFSZ) == 1) return;
  const int saved = errno;
  sigset_t pending;
  if (sigpending(&pending) == 0 && sigismember(&pending, SIGXFSZ) == 1) {
    const timespec now{};
    sigtimedwait(&signal_, nullptr, &now);
  }
  pthread_sigmask(SIG_SETMASK, &old_, nullptr);
  errno = saved;
}
#endif

IoResult<std::string> ReadFileBytes(const std::string& path, std::size_t maxBytes) {
  return ReadPath(path, true, maxBytes);
}

IoResult<std::string> ReadStreamBytes(const std::string& path) {
  return ReadPath(path, false, kMaxReadBytes);
}

IoResult<std::string> ReadDescriptorBytes(int fd, const std::string& name) {
  std::string bytes;
  if (IoStatus status = ReadAll(fd, bytes, kMaxReadBytes, name); status.failed())
    return status.error();
  return bytes;
}

IoStatus WriteDescriptorBytes(int fd, std::string_view bytes, const std::string& name) {
  if (!WriteAll(fd, bytes)) return LastIoError(name);
  return std::nullopt;
}

IoStatus ReplaceFileAtomically(const std::string& path, std::string_view bytes,
                               OtherTargets others) {
  IoResult<AtomicFileWriter> writer = AtomicFileWriter::Begin(path, others);
  if (!writer) return writer.error();
  if (IoStatus status = writer.value().Write(bytes); status.failed()) return status;
  return writer.value().Commit();
}

IoResult<AtomicFileWriter> AtomicFileWriter::Begin(const std::string& path, OtherTargets others) {
  AtomicFileWriter writer;
  writer.path_ = path;
  const auto openThrough = [&](int flags) -> IoResult<AtomicFileWriter> {
    writer.writeThrough_ = true;
    writer.fd_ = OpenResuming(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC | flags);
    if (writer.fd_ < 0) return LastIoError(path);
    return std::move(writer);
  };

  // What the kernel finds at `path`, every link followed, the descriptor
  // links of /proc included.
  struct stat found;
  const bool exists = Sys().stat(path.c_str(), &found) == 0;
  if (!exists && errno != ENOENT) return LastIoError(path);
  if (exists && S_ISDIR(found.st_mode)) return ErrorOf(path, EISDIR);
  if (exists && !S_ISREG(found.st_mode)) {
    if (others == OtherTargets::kRefuse) return NotRegular(path);
    return openThrough(0);
  }

  const IoResult<LinkEnd> end = FollowLinks(path);
  if (!end) return end.error();
  // One of this process's own descriptors (/dev/stdout): replacing its file
  // by name would leave the descriptor on the old one. Appending keeps
  // what a shell's ">>" already holds; after ">" the file is empty anyway.
  if (end.value().throughProc && others == OtherTargets::kWriteThrough) {
    return openThrough(O_APPEND);
  }
  writer.file_ = end.value().file;

  if (exists) {
    writer.mode_ = found.st_mode & 07777;
    // Renaming needs only the folder's write permission, so without these
    // checks a save would replace a file that the user made read-only, or
    // another user's file in a shared folder. Root passes the second check,
    // but not the first.
    if ((found.st_mode & 0222) == 0) return ErrorOf(path, EACCES);
    if (Sys().faccessat(AT_FDCWD, writer.file_.c_str(), W_OK, AT_EACCESS) != 0) {
      return LastIoError(path);
    }
    writer.hasOld_ = true;
    writer.oldUid_ = found.st_uid;
    writer.oldGid_ = found.st_gid;
    writer.inPlace_ = found.st_nlink > 1;
  } else {
    writer.mode_ = 0666 & ~CurrentUmask();
  }

  // Beside the target: rename() is only atomic within one file system.
  const std::string folder = FolderOf(writer.file_);
  RemoveLeftovers(folder, NameOf(writer.file_));
  // Read and write: a save in place reads the new text back from it.
  writer.fd_ = OpenResuming(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
  writer.unnamed_ = writer.fd_ >= 0;
  // File systems without O_TMPFILE say so in one of these ways.
  if (writer.fd_ < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) {
    const std::optional<std::string> named =
        WithFreshName(folder, NameOf(writer.file_), [&](const std::string& name) {
          writer.fd_ = OpenResuming(name.c_str(), O_CREAT | O_EXCL | O_RDWR | O_CLOEXEC, 0600);
          return writer.fd_ >= 0;
        });
    if (named) writer.temporary_ = *named;
  }
  if (writer.fd_ < 0) return LastIoError(path);
  return writer;
}

AtomicFileWriter::AtomicFileWriter(AtomicFileWriter&& other) noexcept {
  *this = std::move(other);
}

AtomicFileWriter& AtomicFileWriter::operator=(AtomicFileWriter&& other) noexcept {
  if (this != &other) {
    Abandon();
    path_ = std::move(other.path_);
    file_ = std::move(other.file_);
    temporary_ = std::exchange(other.temporary_, {});
    fd_ = std::exchange(other.fd_, -1);
    unnamed_ = other.unnamed_;
    writeThrough_ = other.writeThrough_;
    inPlace_ = other.inPlace_;
    size_ = other.size_;
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
  const int saved = errno;
  if (fd_ >= 0) Sys().close(std::exchange(fd_, -1));
  if (!temporary_.empty()) Sys().unlink(std::exchange(temporary_, {}).c_str());
  errno = saved;
}

IoStatus AtomicFileWriter::Write(std::string_view bytes) {
  if (fd_ < 0) return ErrorOf(path_, EBADF);
  if (!WriteAll(fd_, bytes)) {
    const IoError error = LastIoError(path_);
    Abandon();
    return error;
  }
  size_ += bytes.size();
  return std::nullopt;
}

IoStatus AtomicFileWriter::Commit() {
  if (fd_ < 0) return ErrorOf(path_, EBADF);
  const auto fail = [this] {
    IoError error = LastIoError(path_);
    Abandon();
    return error;
  };
  if (writeThrough_) {
    if (Sys().close(std::exchange(fd_, -1)) != 0) return LastIoError(path_);
    return std::nullopt;
  }
  if (inPlace_) return CommitInPlace();

  // The new file takes over the old one's owner and permissions. The owner
  // is best effort: it only matters (and only works) when root edits
  // another user's file, which would otherwise become root's; keeping our
  // own ownership still leaves a correct file.
  if (hasOld_ && (oldUid_ != geteuid() || oldGid_ != getegid())) {
    Sys().fchown(fd_, oldUid_, oldGid_);
  }
  if (Sys().fchmod(fd_, static_cast<mode_t>(mode_)) != 0 || Sys().fsync(fd_) != 0) return fail();

  const std::string folder = FolderOf(file_);
  if (unnamed_) {
    // Only a complete file gets a name. linkat() cannot replace a name, so
    // the file is linked under a fresh one and then renamed over the old.
    const std::string self = "/proc/self/fd/" + std::to_string(fd_);
    const std::optional<std::string> named =
        WithFreshName(folder, NameOf(file_), [&](const std::string& name) {
          return Sys().linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) ==
                 0;
        });
    if (!named) return fail();
    temporary_ = *named;
    unnamed_ = false;
  }
  if (Sys().close(std::exchange(fd_, -1)) != 0) return fail();
  if (Sys().rename(temporary_.c_str(), file_.c_str()) != 0) return fail();
  temporary_.clear();
  SyncFolder(folder);
  return std::nullopt;
}

IoStatus AtomicFileWriter::CommitInPlace() {
  const auto fail = [this] {
    IoError error = LastIoError(path_);
    Abandon();
    return error;
  };
  if (Sys().fsync(fd_) != 0) return fail();
  const int target = OpenResuming(file_.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
  if (target < 0) return fail();
  const auto failWithTarget = [&] {
    CloseKeepingErrno(target);
    return fail();
  };
  const FileSizeLimitAsError limit;
  // Room first, the file's size and text left as they are: a full disk (or
  // the file size limit) is found before the old text changes. File systems
  // without fallocate() get no such check.
  if (size_ != 0 &&
      Sys().fallocate(target, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(size_)) != 0 &&
      errno != EOPNOTSUPP && errno != ENOSYS) {
    return failWithTarget();
  }
  if (Sys().lseek(fd_, 0, SEEK_SET) != 0) return failWithTarget();
  char buffer[64 * 1024];
  for (;;) {
    const ssize_t n = Sys().read(fd_, buffer, sizeof buffer);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      return failWithTarget();
    }
    if (!WriteAll(target, std::string_view(buffer, static_cast<std::size_t>(n)))) {
      return failWithTarget();
    }
  }
  if (Sys().ftruncate(target, static_cast<off_t>(size_)) != 0 || Sys().fsync(target) != 0) {
    return failWithTarget();
  }
  if (Sys().close(target) != 0) return fail();
  Abandon();
  return std::nullopt;
}

IoStatus MakeFolders(const std::string& folder) {
  // Usually the folder is there already; then one look is enough.
  struct stat info;
  if (Sys().stat(folder.c_str(), &info) == 0) {
    return S_ISDIR(info.st_mode) ? std::nullopt : IoStatus(ErrorOf(folder, ENOTDIR));
  }
  // Anything but a missing part is an answer; a file in the way is found,
  // and named, below.
  if (errno != ENOENT && errno != ENOTDIR) return LastIoError(folder);
  // Each prefix that ends before a separator (and the whole path) is one
  // folder; empty prefixes ("/a", "a//b") are skipped, and so is a drive
  // ("C:"), which is there or not.
  for (std::size_t end = folder.find_first_of(kPathSeparators, 1);;
       end = folder.find_first_of(kPathSeparators, end + 1)) {
    const std::string prefix = folder.substr(0, end);
    if (!prefix.empty() && kPathSeparators.find(prefix.back()) == std::string_view::npos &&
        !IsDrive(prefix)) {
      if (IoStatus error = MakeOneFolder(prefix); error.failed()) return error;
    }
    if (end == std::string::npos) return std::nullopt;
  }
}

}  // namespace mirotabe
