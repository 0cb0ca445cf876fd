// The fonts each face of the settings is drawn in, as the system keeps them
// (see platform/font_files.h), and a font file that the user names instead.
#pragma once

#include <string>
#include <variant>
#include <vector>

#include "core/layout_settings.h"
#include "core/picture_style.h"
#include "render/font_chain.h"

namespace mirotabe {

// A font file's face, read when first needed.
FontSource FontFileSource(const std::string& path, unsigned index = 0);

// The fonts of `face` in order of preference: its own, then the Gothic
// (for Mincho), then the fonts of other scripts, so that a character the
// face lacks still draws.
std::vector<FontSource> TypefaceFonts(Typeface face);

// The font file at `path`, followed by the Gothic's fonts for the
// characters it lacks; or, when the file cannot be read or holds no font,
// why, as a Japanese sentence.
std::variant<std::vector<FontSource>, std::u16string> FontFileFonts(const std::string& path);

// The advance of each half-width Latin character in the first font of
// `fonts`, in thousandths of its full-width space: what sideways Latin is
// fitted by.
LatinAdvances LatinAdvancesOf(FontChain& fonts);

}  // namespace mirotabe
