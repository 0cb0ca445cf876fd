#include "core/layout_cp932.h"

#include <array>
#include <cstring>

#include "platform/charset.h"

namespace mirotabe {

Cp932Pieces ForEachCp932Piece(VerticalLayout& layout,
                              const std::function<bool(std::string_view bytes)>& sink) {
  if (layout.rows_ == 0) return Cp932Pieces::kWritten;
  if (!layout.IsGrid()) return Cp932Pieces::kNotTwoBytes;
  for (const VerticalLayout::Column& column : layout.columns_) {
    const char16_t* const units = layout.prepared_.data() + column.start;
    for (std::size_t i = 0; i < column.cells; ++i) {
      if (Cp932DoubleByte(units[i]) == 0) return Cp932Pieces::kNotTwoBytes;
    }
  }
  // Each unit becomes its two bytes, lead byte first in memory.
  const auto asUnit = [](std::uint16_t code) {
    // std::memcpy, not std::bit_cast, which the browser build's library lacks.
    const std::array<char, 2> bytes{static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
    char16_t unit = 0;
    std::memcpy(&unit, bytes.data(), sizeof unit);
    return unit;
  };
  for (const VerticalLayout::Column& column : layout.columns_) {
    char16_t* const units = layout.prepared_.data() + column.start;
    for (std::size_t i = 0; i < column.cells; ++i) units[i] = asUnit(Cp932DoubleByte(units[i]));
  }
  const char16_t lineBreak = asUnit(0x0D0A);
  const VerticalLayout::GridForm form{layout.prepared_.data(), asUnit(Cp932DoubleByte(kBlankCell)),
                                      std::u16string_view(&lineBreak, 1)};
  const bool written = layout.ForEachGridPiece(form, [&](std::u16string_view piece) {
    return sink(std::string_view(reinterpret_cast<const char*>(piece.data()), piece.size() * 2));
  });
  return written ? Cp932Pieces::kWritten : Cp932Pieces::kStopped;
}

}  // namespace mirotabe
