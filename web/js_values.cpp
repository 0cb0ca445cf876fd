#include "web/js_values.h"

#include <emscripten/bind.h>

#include <cstdint>
#include <vector>

namespace mirotabe::web {

using emscripten::val;

val Bytes(std::string_view bytes) {
  return val::global("Uint8Array")
      .new_(emscripten::typed_memory_view(bytes.size(),
                                          reinterpret_cast<const unsigned char*>(bytes.data())));
}

val Units(std::u16string_view text) {
  const val view = val(emscripten::typed_memory_view(
      text.size(), reinterpret_cast<const std::uint16_t*>(text.data())));
  return val::global("Uint16Array").new_(view);
}

std::u16string TextOfUnits(const val& units) {
  const std::vector<std::uint16_t> copied =
      emscripten::convertJSArrayToNumberVector<std::uint16_t>(units);
  return {copied.begin(), copied.end()};
}

}  // namespace mirotabe::web
