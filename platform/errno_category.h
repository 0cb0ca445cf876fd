// The category of the error numbers (errno) that the file calls set, under
// which an IoError holds them. On Linux it is the system's own. On Windows
// mingw's libstdc++ reads numbers under std::system_category as Win32
// errors (EACCES would read "Invalid data", ENOSPC "Out of paper"), and the
// C runtime's own words differ from Linux's: there the numbers get a
// category of their own, worded as on Linux, so that the converter says the
// same on both.
#pragma once

#include <system_error>

namespace mirotabe {

const std::error_category& ErrnoCategory();

inline std::error_code ErrnoCode(int number) {
  return {number, ErrnoCategory()};
}

}  // namespace mirotabe
