#include "command/picture_request.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <system_error>

#include "core/decimal_text.h"
#include "core/drawing_plan.h"

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

int CellSizeForWidth(long long width, std::size_t columns, double columnSpacing) {
  // A cell is the cell size wide, a margin of one cell runs all round, and
  // the spaces between the columns are a share of a cell.
  const auto n = static_cast<double>(columns);
  const double cells = n + 2 + columnSpacing * std::max(0.0, n - 1);
  int size = static_cast<int>(std::clamp<double>(std::floor(static_cast<double>(width) / cells),
                                                 kMinCellSize, kMaxCellSize));
  // The spaces are whole pixels: their rounding may take a pixel more.
  while (size > kMinCellSize && PictureWidth(PictureCell(size, columnSpacing), columns) > width) {
    --size;
  }
  return size;
}

std::optional<double> ParseColumnSpacing(const std::string& value) {
  const std::optional<double> em = ParseDecimal(std::string_view(value));
  if (!em || !IsValidColumnSpacing(*em)) return std::nullopt;
  return em;
}

}  // namespace mirotabe
