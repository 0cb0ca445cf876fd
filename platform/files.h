// Whole-file reads and crash-safe whole-file writes.
#pragma once

#include <csignal>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/io_error.h"

namespace mirotabe {

// A write past the file size limit (ulimit -f) raises SIGXFSZ, whose
// default action ends the process without a word. While one of these is
// alive the signal is held back for the calling thread, so that such a
// write fails with EFBIG instead and is reported like a full disk; the
// signal the limit raised is taken back before the thread's old mask
// returns. A thread that already holds the signal back keeps it as it was.
// Every write of this file does this itself; it is for writes made by
// other code (a library's own file class). Windows has no such limit.
class FileSizeLimitAsError {
 public:
  FileSizeLimitAsError();
  ~FileSizeLimitAsError();
  FileSizeLimitAsError(const FileSizeLimitAsError&) = delete;
  FileSizeLimitAsError& operator=(const FileSizeLimitAsError&) = delete;

 private:
#if !defined(_WIN32)
  sigset_t signal_;
  sigset_t old_;
#endif
};

// The most bytes a read takes into memory: a text this large already needs
// several times as much once it is decoded and laid out. More, or more than
// memory holds, is FileError::kTooLarge, never an abort.
inline constexpr std::size_t kMaxReadBytes = std::size_t{1} << 30;

// All bytes of the regular file at `path`, at most `maxBytes`. A folder, a
// missing file, no read access, and a device or FIFO
// (FileError::kNotRegularFile) are errors; opening never blocks, so a FIFO
// without a writer cannot hang the caller.
IoResult<std::string> ReadFileBytes(const std::string& path, std::size_t maxBytes = kMaxReadBytes);

// All bytes up to the end of whatever `path` names that can be read: a file,
// a FIFO or a pipe (/dev/stdin, a shell's "<(...)"), a character device. A
// FIFO is waited on until it has a writer and read to its end, as scripts
// expect. Only a folder is refused. A stream that goes on past kMaxReadBytes
// (/dev/zero) is FileError::kTooLarge.
IoResult<std::string> ReadStreamBytes(const std::string& path);

// All bytes up to the end of an open descriptor (standard input, a pipe),
// at most kMaxReadBytes. `name` is what errors call it.
IoResult<std::string> ReadDescriptorBytes(int fd, const std::string& name);

// Writes all of `bytes` to an open descriptor (standard output, a pipe).
// `name` is what errors call it.
IoStatus WriteDescriptorBytes(int fd, std::string_view bytes, const std::string& name);

// What a save does with a target that exists but is not a regular file.
enum class OtherTargets {
  kRefuse,        // FileError::kNotRegularFile: never replace a device or a FIFO
  kWriteThrough,  // write into it as it is: "-o /dev/null", "-o /dev/stdout"
};

// Replaces the file at `path` by `bytes`: writes a temporary file in the
// same folder, flushes it to disk and renames it over the old one, so the
// old file stays whole when anything fails. The temporary file has no name
// until it is complete (O_TMPFILE), so a killed save leaves nothing behind;
// where the file system cannot do that, it is a hidden
// ".NAME.mirotabe~XXXXXX", NAME a hash for a name over 16 bytes, so that it
// fits wherever the target's name fits. Before it writes, a save removes the
// temporary files of the same target that killed saves left, once they have
// not been written for a minute.
// A new file gets the usual permissions, an existing one keeps its own; a
// symbolic link is followed. Only a regular file is ever replaced, see
// OtherTargets. A file without any write permission, or one the user may
// not write (another user's 0644 file in a shared folder), is refused as
// read-only even though its folder would allow the rename.
// A file with more than one name (hard links) is the one file under each
// of them, and a rename would leave the other names with the old text: it
// is written in place instead, once the new text is complete and on disk
// in the temporary file and room for it is taken, so that a failure before
// that leaves the old file whole. Only a failure of the disk itself, or a
// kill, while the text is copied in can leave it part new.
IoStatus ReplaceFileAtomically(const std::string& path, std::string_view bytes,
                               OtherTargets others = OtherTargets::kRefuse);

// ReplaceFileAtomically for content that arrives piece by piece, so that a
// large file never has to be held in memory whole. Begin() checks the
// target and opens the temporary file; Write() appends; Commit() flushes
// and puts the file in place. A writer destroyed without a successful
// Commit() removes its temporary file and leaves the old file whole. With
// OtherTargets::kWriteThrough a device or a FIFO is written directly, as
// the shell's ">" would: there is nothing to replace, and Commit() only
// closes it. Errors name `path`.
class AtomicFileWriter {
 public:
  static IoResult<AtomicFileWriter> Begin(const std::string& path,
                                          OtherTargets others = OtherTargets::kRefuse);

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
  // Commit() for a file with more than one name.
  IoStatus CommitInPlace();

  std::string path_;       // what errors name
  std::string file_;       // the file replaced: `path`, its links followed
  std::string temporary_;  // the hidden temporary file beside it, once named
  int fd_ = -1;
  bool unnamed_ = false;       // an O_TMPFILE, named only by Commit()
  bool writeThrough_ = false;  // fd_ is the target itself (a device, a FIFO)
  bool inPlace_ = false;       // the target has more than one name
  std::uint64_t size_ = 0;     // the bytes written so far
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
