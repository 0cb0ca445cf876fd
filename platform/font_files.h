// Where the system keeps the fonts that pictures and pages are set in, in
// order of preference: the faces named in the settings (Mincho, Gothic),
// and a font for the characters that the Japanese fonts lack. Paths only:
// whoever draws reads the files, so that the painter takes fonts as bytes
// on every system.
#pragma once

#include <string>
#include <vector>

namespace mirotabe {

// A font file, and the face of it where it is a collection (.ttc).
struct FontFile {
  std::string path;
  unsigned index = 0;
};

#if defined(__EMSCRIPTEN__)
// The browser has no fonts of a system: the page hands in the fonts it
// fetched, and they are kept in the module's memory file system here.
inline constexpr const char* kFontFolderInMemory = "/fonts";
inline constexpr const char* kMinchoInMemory = "/fonts/mincho.ttf";
inline constexpr const char* kGothicInMemory = "/fonts/gothic.ttf";
#endif

// Linux: IPA's fonts (Debian's fonts-ipafont-*); Windows: Yu Mincho, then
// MS Mincho, and Yu Gothic, then MS Gothic, where installed; the browser:
// the fonts the page handed in.
std::vector<FontFile> MinchoFontFiles();
std::vector<FontFile> GothicFontFiles();
// Fonts of many scripts and symbols, for what the Japanese faces lack.
std::vector<FontFile> FallbackFontFiles();

}  // namespace mirotabe
