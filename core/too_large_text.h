// What the window and the page say, in Japanese, of a text whose vertical
// layout is too large to show: one wording for both.
#pragma once

#include <string>

#include "core/vertical_layout.h"

namespace mirotabe {

// Why `tooLarge` is not shown: its columns and longest column against the
// bound on cells, or, where the replacements and the tabs would make the
// text too long before any column is counted, how long and the bound on
// its length. Lines are separated by LF.
std::u16string TooLargeText(const LayoutTooLarge& tooLarge);

}  // namespace mirotabe
