#include "platform/io_error.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <system_error>
#include <type_traits>

namespace mirotabe {
namespace {

// Truth would read as success while a status holds a failure: neither
// type is allowed a conversion that could be read the wrong way.
static_assert(!std::is_convertible_v<IoStatus, bool>);
static_assert(!std::is_constructible_v<bool, IoStatus>);
static_assert(!std::is_convertible_v<IoResult<int>, bool>);

// Reading what is not there throws. The WebAssembly build catches no
// exceptions: there the throw ends the module, which is no silent read
// either, and cannot be watched from within.
template <typename Read>
void ExpectRefused(Read read) {
#ifndef __EMSCRIPTEN__
  EXPECT_THROW(read(), std::bad_optional_access);
#else
  static_cast<void>(read);
#endif
}

// Every way of making a failed status, from the system's error numbers and
// the program's own failures, reads as a failure and gives its error back.
TEST(IoStatusTest, AFailureNeverReadsAsSuccess) {
  const IoError failures[] = {
      {"a.txt", std::make_error_code(std::errc::permission_denied)},
      {"b.txt", std::make_error_code(std::errc::no_space_on_device)},
      {"", std::error_code(EIO, std::system_category())},
      {"c.txt", MakeErrorCode(FileError::kNotRegularFile)},
      {"d.txt", MakeErrorCode(FileError::kTooLarge), 1234},
      {"e.txt", std::error_code()},  // even without a code, still a failure
  };
  for (const IoError& failure : failures) {
    SCOPED_TRACE(failure.path);
    for (const IoStatus& status : {IoStatus(failure), IoStatus(std::optional<IoError>(failure))}) {
      EXPECT_TRUE(status.failed());
      EXPECT_FALSE(status.ok());
      EXPECT_EQ(status.error().path, failure.path);
      EXPECT_EQ(status.error().code, failure.code);
    }
    const IoResult<int> result(failure);
    EXPECT_FALSE(result.ok());
    ExpectRefused([&result] { static_cast<void>(result.value()); });
  }
  const IoStatus success = std::nullopt;
  EXPECT_TRUE(success.ok());
  ExpectRefused([&success] { static_cast<void>(success.error()); });
  EXPECT_EQ(IoResult<int>(5).value(), 5);
}

}  // namespace
}  // namespace mirotabe
