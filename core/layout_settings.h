// The layout options of the vertical text, beyond one column per line:
// cutting long lines into columns of a fixed length under the Japanese
// line-breaking rules, and blank columns between columns.
//
// Every option is off by default, and off it changes nothing. The settings
// file keeps them (see core/settings.h).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace mirotabe {

// What happens where a cut would break the line-breaking rules.
enum class Kinsoku : std::uint8_t {
  kNone = 0,     // the cut stays where the column length puts it
  kHang = 1,     // a head-forbidden character stays on the column above
  kPushOut = 2,  // the character before it moves down with it
};

// How a run of the input's half-width Latin is set in pictures and pages:
// a letter to a full-width cell, or the run turned a quarter turn clockwise
// at the font's own widths, as books set it.
enum class LatinSetting : std::uint8_t { kCells = 0, kSideways = 1 };
inline constexpr std::uint8_t kMaxLatinSetting = 1;

// 縦中横 sets a number of up to this many half-width digits upright in one
// cell; three is the most that stay legible in a character's width.
inline constexpr std::uint8_t kMaxTcyDigits = 3;

// Advances are counted in thousandths of an em, so that the columns a
// layout cuts come out the same however a painter sums its fractions.
inline constexpr std::uint32_t kEm = 1000;

// The advance of each of the printable ASCII characters U+0020..U+007E in
// the face the pictures or pages are drawn with, in thousandths of an em.
// Measured by each edition's painter, which knows the font; half an em
// each until then, the width of a half-width form.
struct LatinAdvances {
  static constexpr char16_t kFirst = 0x20;
  static constexpr std::size_t kCount = 0x7F - kFirst;
  std::array<std::uint16_t, kCount> thousandths = [] {
    std::array<std::uint16_t, kCount> half{};
    half.fill(static_cast<std::uint16_t>(kEm / 2));
    return half;
  }();

  std::uint32_t Of(char16_t c) const { return thousandths[static_cast<std::size_t>(c - kFirst)]; }
  friend bool operator==(const LatinAdvances&, const LatinAdvances&) = default;
};

// How a base whose reading is longer than it and the overhang its
// neighbours allow is spaced out to hold it (see core/ruby_spacing.h), the
// columns fitted with that space.
enum class LongRubySpacing : std::uint8_t {
  kNone,       // the reading runs on past its base: 原稿用紙 keeps its squares
  kByAdvance,  // by as much as it needs, where the cells flow by advance
  kByCells,    // by whole blank cells, so that a picture's grid frames every cell
};

// How a layout sets the input's half-width digits and Latin. Off (the
// text output and the window always) every character takes a cell of its
// own, after the full-width mapping.
struct Typesetting {
  // The most digits that 縦中横 sets in one cell; 0: none. 2 or more also
  // sets !? ?? !! ?! so.
  std::uint8_t tcyDigits = 0;
  LatinSetting latin = LatinSetting::kCells;
  LatinAdvances advances;
  // Whether and how a base with a long reading is spaced out: pages and
  // pictures; the text output keeps its cells as they are.
  LongRubySpacing spaceLongRuby = LongRubySpacing::kNone;

  bool On() const { return tcyDigits != 0 || latin == LatinSetting::kSideways; }
  friend bool operator==(const Typesetting&, const Typesetting&) = default;
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
  // 縦中横 and sideways Latin as the settings file or the options choose
  // them for pictures and pages; unset, each takes its own default (see
  // core/page_setup.h).
  std::optional<std::uint8_t> tcy = std::nullopt;
  std::optional<LatinSetting> latin = std::nullopt;
  // What this layout is built with: only pictures and pages set it.
  Typesetting typesetting = {};

  friend bool operator==(const LayoutSettings&, const LayoutSettings&) = default;
};

}  // namespace mirotabe
