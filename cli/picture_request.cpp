#include "cli/picture_request.h"

#include <charconv>
#include <system_error>

namespace mirotabe {

std::optional<int> ParseCellSize(const std::string& value) {
  int size = 0;
  const char* end = value.data() + value.size();
  const auto [stop, error] = std::from_chars(value.data(), end, size);
  if (value.empty() || error != std::errc() || stop != end || !IsValidCellSize(size)) {
    return std::nullopt;
  }
  return size;
}

}  // namespace mirotabe
