// A failed file operation, as the callers report it: which file, and the
// system's reason.
#pragma once

#include <optional>
#include <string>
#include <system_error>
#include <utility>

namespace mirotabe {

struct IoError {
  std::string path;
  std::error_code code;

  // The system's description of `code` ("No such file or directory").
  std::string Reason() const { return code.message(); }
};

// Either a value or the IoError that prevented it.
template <typename T>
class IoResult {
 public:
  IoResult(T value) : value_(std::move(value)) {}        // NOLINT: implicit by design
  IoResult(IoError error) : error_(std::move(error)) {}  // NOLINT

  bool ok() const { return value_.has_value(); }
  explicit operator bool() const { return ok(); }
  T& value() { return *value_; }
  const T& value() const { return *value_; }
  const IoError& error() const { return error_; }

 private:
  std::optional<T> value_;
  IoError error_;
};

// An operation without a result: empty on success.
using IoStatus = std::optional<IoError>;

// The IoError for the current errno.
inline IoError LastIoError(std::string path) {
  return IoError{std::move(path), std::error_code(errno, std::system_category())};
}

}  // namespace mirotabe
