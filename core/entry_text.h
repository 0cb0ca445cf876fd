// What the settings dialog's From and To boxes keep of what is typed or
// pasted into them, in the window and in the browser alike.
//
// Neither keeps a line break (CR, LF) or a NUL: a line break would split
// its line in the settings file, and a NUL end it. Every other character,
// TAB included, means something in an entry.
#pragma once

#include <string>
#include <string_view>

#include "core/settings.h"

namespace mirotabe {

// The From box holds one character, as the conversion sees it: full-width.
std::u16string EntryFromText(std::u16string_view typed);

// The To box of a cell entry holds what fits two bytes of code page 932
// (see CutToTwoBytes); that of any other kind, all of it.
std::u16string EntryToText(std::u16string_view typed, SwapKind kind);

}  // namespace mirotabe
