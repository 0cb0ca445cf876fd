// The POSIX vocabulary that the file code shares between Linux and Windows,
// given its meaning on Windows, where the C runtime lacks it. The Windows
// call table (sys_calls_windows.cpp) reads these flags; the rest stand for
// what Windows does not have: no owners, no symbolic links in the way a
// save follows them, no named-less temporary files.
#pragma once

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <sys/types.h>
// mingw's unistd.h turns ftruncate into ftruncate64, a macro that renames
// the call table's member too: every file that sees the table must see it.
#include <unistd.h>

using uid_t = unsigned;
using gid_t = unsigned;

// Descriptors are never inherited on Windows (the table opens every file
// with _O_NOINHERIT), and there is no controlling terminal to take.
#define O_CLOEXEC 0
#define O_NOCTTY 0
// No FIFOs wait for a writer on Windows: opening never blocks.
#define O_NONBLOCK 0
// Flags the Windows table refuses, so that the shared code takes its
// fallback: a named temporary file, no flush of the folder.
#define O_DIRECTORY 0x01000000
#define O_TMPFILE 0x02000000

#define AT_FDCWD (-100)
#define AT_EACCESS 0x200
#define AT_SYMLINK_FOLLOW 0x400
#define FALLOC_FL_KEEP_SIZE 1
#define S_ISLNK(mode) false

// Files have no owner that a save could hand on.
inline uid_t geteuid() {
  return 0;
}
inline gid_t getegid() {
  return 0;
}
