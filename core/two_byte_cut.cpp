#include "core/two_byte_cut.h"

#include <cstddef>

#include "core/code_points.h"
#include "platform/charset.h"
#include "platform/cp932_pairs.h"

namespace mirotabe {

std::u16string CutToTwoBytes(std::u16string_view text) {
  constexpr std::size_t kRoom = 2;
  std::size_t bytes = 0;
  std::size_t end = 0;
  while (end < text.size()) {
    const CodePoint next = CodePointAt(text, end);
    const std::size_t length = Cp932ByteLength(next.value);
    bytes += length == 0 ? 2 : length;
    if (bytes > kRoom) break;
    end += next.units;
  }
  std::u16string cut(text.substr(0, end));
  for (char16_t& unit : cut) unit = Cp932ReadBack(unit);
  return cut;
}

}  // namespace mirotabe
