// The layout options of the vertical text, beyond one column per line:
// cutting long lines into columns of a fixed length under the Japanese
// line-breaking rules, and blank columns between columns.
//
// Every option is off by default, and off it changes nothing. The settings
// file keeps them (see core/settings.h).
#pragma once

#include <cstddef>
#include <cstdint>

namespace mirotabe {

// What happens where a cut would break the line-breaking rules.
enum class Kinsoku : std::uint8_t {
  kNone = 0,     // the cut stays where the column length puts it
  kHang = 1,     // a head-forbidden character stays on the column above
  kPushOut = 2,  // the character before it moves down with it
};

inline constexpr std::size_t kMaxColumnLength = 999;
inline constexpr std::uint8_t kMaxColumnGap = 2;
inline constexpr std::uint8_t kMaxKinsoku = 2;

struct LayoutSettings {
  // Code points per column; 0 keeps each line whole.
  std::size_t columnLength = 0;
  Kinsoku kinsoku = Kinsoku::kNone;
  // Blank columns between adjacent columns.
  std::uint8_t columnGap = 0;
  // Ruby marks (see core/ruby_notation.h) leave the text: each base stays
  // in its cells, kept whole in one column, and its reading is kept beside
  // the layout for the pictures and pages to draw.
  bool ruby = false;

  friend bool operator==(const LayoutSettings&, const LayoutSettings&) = default;
};

}  // namespace mirotabe
