// How the engine's values cross into JavaScript (embind): byte strings as
// Uint8Array, UTF-16 text as Uint16Array copies of its units, so that no
// lone surrogate or NUL is lost on the way.
#pragma once

#include <emscripten/val.h>

#include <string>
#include <string_view>

namespace mirotabe::web {

// A copy of `bytes` as a Uint8Array.
emscripten::val Bytes(std::string_view bytes);

// A copy of the units of `text` as a Uint16Array.
emscripten::val Units(std::u16string_view text);

// The units of a Uint16Array (or of any array of numbers) as a text.
std::u16string TextOfUnits(const emscripten::val& units);

}  // namespace mirotabe::web
