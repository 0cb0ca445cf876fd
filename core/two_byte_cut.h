// The cut that keeps a replacement cell within the room of one full-width
// character: at most 2 bytes of code page 932.
#pragma once

#include <string>
#include <string_view>

namespace mirotabe {

// The longest prefix of `text` whose code page 932 form takes at most 2
// bytes, never ending in half a character: "aあ" gives "a", "abc" gives
// "ab", "｜｜" gives "｜". It is given as code page 932 reads it back, as
// an entry saved and loaded again holds it, so that the same entry makes
// the same cell in every run: "〜" gives "～". A character that code page
// 932 cannot hold counts as 2 bytes and is kept as it is ("😀x" gives "😀").
std::u16string CutToTwoBytes(std::u16string_view text);

}  // namespace mirotabe
