// The fonts of each face that pictures and pages are drawn in, and font
// files that the user names instead.
#pragma once

#include <QStringList>
#include <string>
#include <variant>

#include "core/picture_style.h"

namespace mirotabe {

// The families of `face` in order of preference: the Windows font where it
// is installed, then IPA's and Noto's, then the panes' Gothic families, so
// that a character the face lacks (or a system without it) still draws.
QStringList TypefaceFamilies(Typeface face);

// The family of the font file at `path`, loaded for this process, followed
// by the panes' families for the characters it lacks; or, when the file
// cannot be read or holds no font, why, as a Japanese sentence.
std::variant<QStringList, std::u16string> FontFileFamilies(const std::string& path);

}  // namespace mirotabe
