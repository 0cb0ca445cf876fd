// The full-width mapping: every character that has a full-width form takes
// it, so that each one fills one cell of the vertical grid.
//
// - U+0020 becomes U+3000; U+0021..U+007E become U+FF01..U+FF5E (the
//   backslash ＼ and the tilde ～ included).
// - Half-width katakana and punctuation become full-width. A base followed
//   by the voiced (ﾞ) or semi-voiced (ﾟ) mark composes into one character
//   where that character exists in code page 932 (ｶﾞ → ガ, ｳﾞ → ヴ), and
//   otherwise stays two (ﾜﾞ → ワ゛). A lone mark becomes the spacing ゛ or ゜.
// - The other <wide>/<narrow> pairs of Unicode map as well: ¢ £ ¬ ¯ ¦ ¥ ₩,
//   half-width Hangul, and U+FFE8..U+FFEE (│ ← ↑ → ↓ ■ ○).
// - Everything else is unchanged: control characters, characters that are
//   already full-width, surrogates.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace mirotabe {

std::u16string ToFullWidth(std::u16string_view text);

// The same mapping in place: no character grows, so `text` needs no second
// buffer, which matters for texts of many megabytes. Given `composedMarks`,
// the places of the marks composed with the kana before them go there, in
// ascending order: each is a unit fewer in the mapped text.
void MapToFullWidth(std::u16string& text, std::vector<std::size_t>* composedMarks = nullptr);

// The same mapping written to `out`, which has room for text.size() units
// and may be text.data() itself; returns the units written.
std::size_t MapToFullWidth(std::u16string_view text, char16_t* out);

// The same mapping in place, but for the printable ASCII and the space,
// which stay as they are: pictures and pages set the input's half-width
// Latin and numbers apart from the full-width text (see core/inline_runs.h).
void MapToFullWidthKeepingLatin(std::u16string& text,
                                std::vector<std::size_t>* composedMarks = nullptr);

}  // namespace mirotabe
