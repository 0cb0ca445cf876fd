// A failed file operation, as the callers report it: which file, and the
// system's reason.
#pragma once

#include <cerrno>
#include <cstdint>
#include <optional>
#include <string>
#include <system_error>
#include <utility>

#include "platform/errno_category.h"

namespace mirotabe {

struct IoError {
  std::string path;
  std::error_code code;
  // For FileError::kTooLarge: the size of the file, or the bytes read
  // before the bound was reached.
  std::uint64_t size = 0;

  // The system's description of `code` ("No such file or directory"), with
  // the size where there is one.
  std::string Reason() const {
    std::string reason = code.message();
    if (size != 0) reason += " (" + std::to_string(size) + " bytes)";
    return reason;
  }
};

// Either a value or the IoError that prevented it. Dropping one unread
// would lose the error, so the compiler refuses to.
template <typename T>
class [[nodiscard]] IoResult {
 public:
  IoResult(T value) : value_(std::move(value)) {}        // NOLINT: implicit by design
  IoResult(IoError error) : error_(std::move(error)) {}  // NOLINT

  bool ok() const { return value_.has_value(); }
  explicit operator bool() const { return ok(); }
  // The value; asking a failure for it is a fault of the caller's, which
  // throws std::bad_optional_access rather than reading nothing.
  T& value() { return value_.value(); }
  const T& value() const { return value_.value(); }
  const IoError& error() const { return error_; }

 private:
  std::optional<T> value_;
  IoError error_;
};

// Failures that the system has no error number for.
enum class FileError {
  // A device, a FIFO or a socket where a file to read or to replace is
  // needed: reading one may never end, and replacing one would destroy it.
  kNotRegularFile = 1,
  // More bytes than a read may take into memory, or more than memory holds.
  kTooLarge = 2,
};

class FileErrorCategory : public std::error_category {
 public:
  const char* name() const noexcept override { return "mirotabe-file"; }
  std::string message(int code) const override {
    switch (static_cast<FileError>(code)) {
      case FileError::kNotRegularFile:
        return "Not a regular file";
      case FileError::kTooLarge:
        return "File too large to read";
    }
    return "Unknown error";
  }
};

inline const std::error_category& FileErrorCategoryInstance() {
  static const FileErrorCategory category;
  return category;
}

inline std::error_code MakeErrorCode(FileError error) {
  return std::error_code(static_cast<int>(error), FileErrorCategoryInstance());
}

// An operation without a result: a success, or the IoError that made it
// fail. It has no conversion to bool, whose truth would read as success
// while holding a failure: callers ask failed() or ok().
class [[nodiscard]] IoStatus {
 public:
  IoStatus() = default;
  IoStatus(std::nullopt_t) {}                            // NOLINT: implicit by design
  IoStatus(IoError error) : error_(std::move(error)) {}  // NOLINT
  IoStatus(std::optional<IoError> error) : error_(std::move(error)) {}  // NOLINT

  bool failed() const { return error_.has_value(); }
  bool ok() const { return !failed(); }
  // The failure; asking a success for it is a fault of the caller's, which
  // throws std::bad_optional_access rather than reading nothing.
  const IoError& error() const { return error_.value(); }

 private:
  std::optional<IoError> error_;
};

// The IoError for the current errno.
inline IoError LastIoError(std::string path) {
  return IoError{std::move(path), ErrnoCode(errno)};
}

}  // namespace mirotabe
