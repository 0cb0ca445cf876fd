// A copy of a font with a character map of this program's choosing, for
// PDFs whose text must read back exactly.
//
// A PDF names the character of each glyph it draws in a text map
// (ToUnicode) that Qt builds from the font's character map. A vertical
// form has no character there, and a glyph that several characters share
// names only one of them. The copy sends each character to the glyph it is
// to be drawn with (its vertical form, say), gives each character a glyph
// of its own where the font shares one (see UnshareGlyphs), and has a
// family name of its own, so that Qt can load it as an application font
// and embed it like an installed one.
#pragma once

#include <QByteArray>
#include <QRawFont>
#include <QString>

#include "render/unshared_glyphs.h"

namespace mirotabe {

// The bytes of the copy: the tables of `font`, `characterMap` as its
// character map (with glyphs of their own for characters that share one),
// and `family` as its name. Empty when `font` has no tables to copy.
QByteArray FontCopy(const QRawFont& font, CharacterMap characterMap, const QString& family);

}  // namespace mirotabe
