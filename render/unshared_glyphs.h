// One glyph for each character, in a TrueType font's tables.
//
// Fonts send several characters to one glyph where they look alike: in
// IPAGothic 〜 and ～, ― and —, ¢ and ￠, a space and a no-break space.
// A PDF names the character of each glyph drawn in its text map, which Qt
// builds from the font's character map by taking the first character
// that reaches the glyph, so the others read back as that one. Giving each
// further character a copy of the glyph of its own, appended after the
// font's glyphs, lets every glyph drawn name exactly one character.
#pragma once

#include <QByteArray>
#include <cstdint>
#include <map>

namespace mirotabe {

// A font's tables by their four-letter tags.
using FontTables = std::map<QByteArray, QByteArray>;
// Characters and the glyphs a font draws them with.
using CharacterMap = std::map<char32_t, std::uint32_t>;

// Sends each character beyond the first (in code point order) that
// `characterMap` sends to an already-taken glyph to a copy of that glyph,
// and adds the copies to the glyph outlines (glyf, loca), the horizontal
// and vertical metrics (hmtx, hhea, vmtx, vhea), the glyph count (maxp)
// and the glyph names (post keeps none). Tables whose records must cover
// every glyph (hdmx) are dropped. Returns false, and changes neither,
// where the outlines are not TrueType's (a CFF font), a table is
// malformed, or the copies would pass the 65,535 glyphs a font may hold.
bool UnshareGlyphs(FontTables& tables, CharacterMap& characterMap);

}  // namespace mirotabe
