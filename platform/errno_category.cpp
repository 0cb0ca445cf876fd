#include "platform/errno_category.h"

#include <cerrno>
#include <string>

namespace mirotabe {

#if defined(_WIN32)
namespace {

struct Wording {
  int number;
  const char* words;
};

// glibc's words for the numbers that the C runtime and the call table set.
constexpr Wording kWordings[] = {
    {EPERM, "Operation not permitted"},
    {ENOENT, "No such file or directory"},
    {EINTR, "Interrupted system call"},
    {EIO, "Input/output error"},
    {ENXIO, "No such device or address"},
    {EBADF, "Bad file descriptor"},
    {EAGAIN, "Resource temporarily unavailable"},
    {ENOMEM, "Cannot allocate memory"},
    {EACCES, "Permission denied"},
    {EBUSY, "Device or resource busy"},
    {EEXIST, "File exists"},
    {EXDEV, "Invalid cross-device link"},
    {ENODEV, "No such device"},
    {ENOTDIR, "Not a directory"},
    {EISDIR, "Is a directory"},
    {EINVAL, "Invalid argument"},
    {ENFILE, "Too many open files in system"},
    {EMFILE, "Too many open files"},
    {EFBIG, "File too large"},
    {ENOSPC, "No space left on device"},
    {ESPIPE, "Illegal seek"},
    {EROFS, "Read-only file system"},
    {EPIPE, "Broken pipe"},
    {ENAMETOOLONG, "File name too long"},
    {ENOLCK, "No locks available"},
    {ENOSYS, "Function not implemented"},
    {ENOTEMPTY, "Directory not empty"},
    {EILSEQ, "Invalid or incomplete multibyte or wide character"},
    {ELOOP, "Too many levels of symbolic links"},
    {EOPNOTSUPP, "Operation not supported"},
    {ETXTBSY, "Text file busy"},
    {ETIMEDOUT, "Connection timed out"},
    {EOVERFLOW, "Value too large for defined data type"},
    {ENOTCONN, "Transport endpoint is not connected"},
    {ECONNRESET, "Connection reset by peer"},
    {ENETDOWN, "Network is down"},
};

class LinuxWordedErrnoCategory : public std::error_category {
 public:
  const char* name() const noexcept override { return "errno"; }
  std::string message(int number) const override {
    for (const Wording& wording : kWordings) {
      if (wording.number == number) return wording.words;
    }
    return "Unknown error " + std::to_string(number);
  }
  // The numbers are the C runtime's, which std::errc names.
  std::error_condition default_error_condition(int number) const noexcept override {
    return {number, std::generic_category()};
  }
};

}  // namespace

const std::error_category& ErrnoCategory() {
  static const LinuxWordedErrnoCategory category;
  return category;
}
#else
const std::error_category& ErrnoCategory() {
  return std::system_category();
}
#endif

}  // namespace mirotabe
