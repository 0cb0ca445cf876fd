// The one-way pairs of code page 932: characters that it stores under the
// code of another character, so that they read back as that other one.
// Linux input methods type 〜 (U+301C), − (U+2212), — (U+2014), ‖ (U+2016);
// a file saved and read again holds ～ (U+FF5E), － (U+FF0D), ― (U+2015),
// ∥ (U+2225). The pairs are taken from the system's converter when the
// program is built. Every pair is one UTF-16 unit on each side.
#pragma once

#include <span>

namespace mirotabe {

struct Cp932Pair {
  char16_t typed;   // the character that does not survive a save
  char16_t stored;  // what it reads back as
};

// Every pair, ordered by `typed`.
std::span<const Cp932Pair> Cp932OneWayPairs();

// What `unit` reads back as after a trip through code page 932: its stored
// form for a typed character of a pair, the unit itself for every other.
char16_t Cp932ReadBack(char16_t unit);

// True when `unit` is either side of a pair.
bool Cp932Paired(char16_t unit);

}  // namespace mirotabe
