// How each character stands in vertical text: Unicode's Vertical_Orientation
// property, read from Unicode's own data when the program is built.
//
// Upright characters keep the glyph of horizontal text (kanji, kana,
// full-width letters and digits); rotated ones are set on their side, turned
// a quarter turn clockwise (Latin letters, most symbols). The two
// "transformed" classes want a glyph of their own for vertical text, the
// font's vertical form, and stand upright (、。 and the small kana) or lie
// on their side (ー, brackets, ：；～) where the font has none.
#pragma once

#include <cstdint>

namespace mirotabe {

enum class VerticalOrientation : std::uint8_t {
  kUpright,             // U
  kRotated,             // R
  kTransformedUpright,  // Tu
  kTransformedRotated,  // Tr
};

// The class of `c`; R for a value above U+10FFFF, as for every code point
// that the data leaves out. A lone surrogate is R as well.
VerticalOrientation VerticalOrientationOf(char32_t c);

}  // namespace mirotabe
