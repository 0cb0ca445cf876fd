// Makes the system calls of platform/ fail on demand, through the table of
// platform/sys_calls.h, so that every failure path can be tested whoever
// runs the tests (root included). One FailingSysCalls at a time.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstddef>
#include <ostream>
#include <string>
#include <vector>

#include "platform/sys_calls.h"

namespace mirotabe::testing_support {

enum class Call {
  kOpen,
  kClose,
  kRead,
  kWrite,
  kFsync,
  kFstat,
  kStat,
  kLstat,
  kFchmod,
  kFchown,
  kFaccessat,
  kLinkat,
  kRename,
  kUnlink,
  kMkdir,
  kLseek,
  kFtruncate,
  kFallocate,
  kCount
};

inline const char* CallName(Call call) {
  static constexpr const char* kNames[] = {"open",      "close",     "read",     "write",  "fsync",
                                           "fstat",     "stat",      "lstat",    "fchmod", "fchown",
                                           "faccessat", "linkat",    "rename",   "unlink", "mkdir",
                                           "lseek",     "ftruncate", "fallocate"};
  return kNames[static_cast<int>(call)];
}

inline const char* ErrnoName(int error) {
  switch (error) {
    case EACCES:
      return "EACCES";
    case EROFS:
      return "EROFS";
    case ENOSPC:
      return "ENOSPC";
    case EIO:
      return "EIO";
    case EINTR:
      return "EINTR";
    case EOPNOTSUPP:
      return "EOPNOTSUPP";
    case EISDIR:
      return "EISDIR";
    case EINVAL:
      return "EINVAL";
    default:
      return "errno";
  }
}

// The errors a test table goes through for each call.
inline constexpr std::array<int, 5> kInjectedErrors{EACCES, EROFS, ENOSPC, EIO, EINTR};

struct Fault {
  Call call = Call::kCount;  // kCount: nothing fails
  int error = 0;
  // Uses of the call that fail, counted from 1: `first` and the `times - 1`
  // after it; 0 times means every use from `first` on.
  int first = 1;
  int times = 0;
  // For kOpen: only opens whose flags hold all of these count.
  int openFlags = 0;
  // Every write writes at most this many bytes (0: no limit).
  std::size_t writeLimit = 0;
};

// The usual fault for `error`: every use of the call fails, except that an
// interrupting signal (EINTR) strikes the calls that are resumed only
// twice, so that resuming comes to an end.
inline Fault FaultOf(Call call, int error) {
  const bool resumed = call == Call::kOpen || call == Call::kRead || call == Call::kWrite;
  return Fault{call, error, 1, error == EINTR && resumed ? 2 : 0};
}

class FailingSysCalls {
 public:
  explicit FailingSysCalls(const Fault& fault) : scope_(Install(fault)) {}
  FailingSysCalls(const FailingSysCalls&) = delete;
  FailingSysCalls& operator=(const FailingSysCalls&) = delete;

  // How often `call` was made (counted calls only, see Fault::openFlags).
  int Uses(Call call) const { return State().uses[static_cast<int>(call)]; }
  // How many uses failed.
  int Failures() const { return State().failures; }

 private:
  struct Shared {
    Fault fault;
    std::array<int, static_cast<int>(Call::kCount)> uses{};
    int failures = 0;
  };
  static Shared& State() {
    static Shared state;
    return state;
  }

  // True (errno set) when this use of `call` is to fail.
  static const SysCalls& Install(const Fault& fault) {
    State() = Shared{fault, {}, 0};
    return kTable;
  }

  static bool Fails(Call call, int openFlags = 0) {
    Shared& state = State();
    const Fault& fault = state.fault;
    if (call == Call::kOpen && (openFlags & fault.openFlags) != fault.openFlags) return false;
    const int use = ++state.uses[static_cast<int>(call)];
    if (call != fault.call || use < fault.first) return false;
    if (fault.times != 0 && use >= fault.first + fault.times) return false;
    ++state.failures;
    errno = fault.error;
    return true;
  }

  static const SysCalls& Real() { return RealSysCalls(); }

  static const SysCalls kTable;

  ScopedSysCalls scope_;
};

inline const SysCalls FailingSysCalls::kTable{
    [](const char* path, int flags, mode_t mode) {
      return Fails(Call::kOpen, flags) ? -1 : Real().open(path, flags, mode);
    },
    [](int fd) {
      // A failing close still closes, as on Linux.
      const bool fails = Fails(Call::kClose);
      const int saved = errno;
      Real().close(fd);
      errno = saved;
      return fails ? -1 : 0;
    },
    [](int fd, void* buffer, std::size_t size) -> ssize_t {
      return Fails(Call::kRead) ? -1 : Real().read(fd, buffer, size);
    },
    [](int fd, const void* buffer, std::size_t size) -> ssize_t {
      if (Fails(Call::kWrite)) return -1;
      const std::size_t limit = State().fault.writeLimit;
      return Real().write(fd, buffer, limit == 0 ? size : std::min(size, limit));
    },
    [](int fd) { return Fails(Call::kFsync) ? -1 : Real().fsync(fd); },
    [](int fd, struct stat* info) { return Fails(Call::kFstat) ? -1 : Real().fstat(fd, info); },
    [](const char* path, struct stat* info) {
      return Fails(Call::kStat) ? -1 : Real().stat(path, info);
    },
    [](const char* path, struct stat* info) {
      return Fails(Call::kLstat) ? -1 : Real().lstat(path, info);
    },
    [](int fd, mode_t mode) { return Fails(Call::kFchmod) ? -1 : Real().fchmod(fd, mode); },
    [](int fd, uid_t owner, gid_t group) {
      return Fails(Call::kFchown) ? -1 : Real().fchown(fd, owner, group);
    },
    [](int folderFd, const char* path, int mode, int flags) {
      return Fails(Call::kFaccessat) ? -1 : Real().faccessat(folderFd, path, mode, flags);
    },
    [](int fromFd, const char* from, int toFd, const char* to, int flags) {
      return Fails(Call::kLinkat) ? -1 : Real().linkat(fromFd, from, toFd, to, flags);
    },
    [](const char* from, const char* to) {
      return Fails(Call::kRename) ? -1 : Real().rename(from, to);
    },
    [](const char* path) { return Fails(Call::kUnlink) ? -1 : Real().unlink(path); },
    [](const char* path, mode_t mode) {
      return Fails(Call::kMkdir) ? -1 : Real().mkdir(path, mode);
    },
    [](int fd, off_t offset, int whence) -> off_t {
      return Fails(Call::kLseek) ? -1 : Real().lseek(fd, offset, whence);
    },
    [](int fd, off_t size) { return Fails(Call::kFtruncate) ? -1 : Real().ftruncate(fd, size); },
    [](int fd, int mode, off_t offset, off_t size) {
      return Fails(Call::kFallocate) ? -1 : Real().fallocate(fd, mode, offset, size);
    },
};

}  // namespace mirotabe::testing_support

namespace mirotabe::testing_support {

// How a save takes the failure of one of its calls.
enum class Outcome {
  kFails,    // the save fails and says why
  kRetried,  // EINTR is tried again and the save succeeds; other errors fail it
  kIgnored,  // best effort: the save succeeds anyway
};

struct CallOutcome {
  Call call;
  Outcome outcome;
};

// The calls of an atomic save over an existing file, in the order it makes
// them, and how each failure ends.
inline const std::vector<CallOutcome>& AtomicSaveCalls() {
  static const std::vector<CallOutcome> calls {
    {Call::kStat, Outcome::kFails}, {Call::kLstat, Outcome::kFails},
        {Call::kFaccessat, Outcome::kFails}, {Call::kOpen, Outcome::kRetried},
        {Call::kWrite, Outcome::kRetried}, {Call::kFchown, Outcome::kIgnored},
        {Call::kFchmod, Outcome::kFails}, {Call::kFsync, Outcome::kFails},
#if !defined(_WIN32)
        // Windows makes no file without a name, which would need a link.
        {Call::kLinkat, Outcome::kFails},
#endif
        {Call::kClose, Outcome::kFails}, {Call::kRename, Outcome::kFails},
  };
  return calls;
}

// One row of a save's failure table: `error` injected into a call.
struct SaveFaultCase {
  CallOutcome call;
  int error;

  bool SaveSucceeds() const {
    return call.outcome == Outcome::kIgnored ||
           (call.outcome == Outcome::kRetried && error == EINTR);
  }
  Fault ToFault() const { return FaultOf(call.call, error); }
  // Whether the save makes the call at all: only root can hand a file's
  // owner on (see GiveAway).
  bool CallIsMade() const { return call.call != Call::kFchown || CanGiveAway(); }

  // Whether files have owners that root can change: not on Windows.
  static bool CanGiveAway() {
#if defined(_WIN32)
    return false;
#else
    return geteuid() == 0;
#endif
  }
};

// Makes `path` another user's where the tests may (as root), so that a save
// over it has to hand the owner on to the new file.
inline void GiveAway(const std::string& path) {
#if defined(_WIN32)
  (void)path;
#else
  if (SaveFaultCase::CanGiveAway()) {
    EXPECT_EQ(chown(path.c_str(), 12345, 23456), 0) << path;
  }
#endif
}

inline void PrintTo(const SaveFaultCase& c, std::ostream* out) {
  *out << CallName(c.call.call) << " " << ErrnoName(c.error);
}

// Every call of `calls` with every error of kInjectedErrors.
inline std::vector<SaveFaultCase> SaveFaultCases(const std::vector<CallOutcome>& calls) {
  std::vector<SaveFaultCase> cases;
  for (const CallOutcome& call : calls) {
    for (const int error : kInjectedErrors) cases.push_back({call, error});
  }
  return cases;
}

inline std::string SaveFaultCaseName(const testing::TestParamInfo<SaveFaultCase>& info) {
  return std::string(CallName(info.param.call.call)) + "_" + ErrnoName(info.param.error);
}

}  // namespace mirotabe::testing_support
