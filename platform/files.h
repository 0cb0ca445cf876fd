// Whole-file reads and crash-safe whole-file writes.
#pragma once

#include <string>
#include <string_view>

#include "platform/io_error.h"

namespace mirotabe {

// All bytes of the file at `path`. A folder, a missing file or no read
// access is an error.
IoResult<std::string> ReadFileBytes(const std::string& path);

// All bytes up to the end of an open descriptor (standard input, a pipe).
// `name` is what errors call it.
IoResult<std::string> ReadDescriptorBytes(int fd, const std::string& name);

// Writes all of `bytes` to an open descriptor (standard output, a pipe).
// `name` is what errors call it.
IoStatus WriteDescriptorBytes(int fd, std::string_view bytes, const std::string& name);

// Replaces the file at `path` by `bytes`: writes a temporary file in the
// same folder, flushes it to disk and renames it over the old one, so the
// old file stays whole when anything fails. A new file gets the usual
// permissions, an existing one keeps its own; a symbolic link is followed.
// A file without any write permission is refused as read-only, as it is
// refused to every user, root included.
IoStatus ReplaceFileAtomically(const std::string& path, std::string_view bytes);

// ReplaceFileAtomically for content that arrives piece by piece, so that a
// large file never has to be held in memory whole. Begin() checks the
// target and opens the temporary file; Write() appends; Commit() flushes
// and puts the file in place. A writer destroyed without a successful
// Commit() removes its temporary file and leaves the old file whole.
// Errors name `path`.
class AtomicFileWriter {
 public:
  static IoResult<AtomicFileWriter> Begin(const std::string& path);

  AtomicFileWriter(AtomicFileWriter&& other) noexcept;
  AtomicFileWriter& operator=(AtomicFileWriter&& other) noexcept;
  AtomicFileWriter(const AtomicFileWriter&) = delete;
  AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;
  ~AtomicFileWriter();

  IoStatus Write(std::string_view bytes);
  IoStatus Commit();

 private:
  AtomicFileWriter() = default;
  void Abandon();

  std::string path_;       // what errors name
  std::string file_;       // the file replaced: `path`, its links followed
  std::string temporary_;  // the hidden temporary file beside it
  int fd_ = -1;
  unsigned mode_ = 0;
  bool hasOld_ = false;
  unsigned oldUid_ = 0;
  unsigned oldGid_ = 0;
};

// Makes `folder` and every missing folder above it, as "mkdir -p" does; a
// folder that already exists is fine. The settings may be saved into a
// per-user folder that the first save has to make.
IoStatus MakeFolders(const std::string& folder);

}  // namespace mirotabe
