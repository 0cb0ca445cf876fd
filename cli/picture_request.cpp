#include "cli/picture_request.h"

#include <algorithm>
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

int CellSizeForWidth(long long width, std::size_t columns) {
  // A cell is the cell size wide, and a margin of one cell runs all round.
  const long long cells = static_cast<long long>(columns) + 2;
  return static_cast<int>(std::clamp<long long>(width / cells, kMinCellSize, kMaxCellSize));
}

}  // namespace mirotabe
