// A font for setting text vertically that PDFs can read back as text.
//
// The vertical forms of a font have no characters of their own: a PDF that
// draws them holds glyphs that its text map (ToUnicode, built by Qt from
// the font's character map) cannot name, so they would not read back or
// copy. The copy made here is the same font with a character map that
// sends each character to the glyph set for it vertically (see
// VerticalForms), and a family name of its own; registered with Qt as an
// application font, it is drawn and embedded like any installed font, and
// its text map names every glyph drawn.
#pragma once

#include <QByteArray>
#include <QRawFont>
#include <QString>
#include <cstdint>
#include <map>

namespace mirotabe {

// The family of the vertical copy of `font`, made and registered once per
// process; empty when the copy cannot be made.
QString VerticalFontFamily(const QRawFont& font);

// The bytes of such a copy: the tables of `font`, with `characterMap` as
// its character map and `family` as its name.
QByteArray FontWithCharacterMap(const QRawFont& font,
                                const std::map<char32_t, std::uint32_t>& characterMap,
                                const QString& family);

}  // namespace mirotabe
