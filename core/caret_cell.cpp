#include "core/caret_cell.h"

#include <algorithm>

#include "core/code_points.h"
#include "core/prepare_text.h"

namespace mirotabe {

std::optional<CellPosition> CaretCell(const VerticalLayout& layout, std::size_t line,
                                      std::u16string_view lineBeforeCaret,
                                      const LayoutRules& rules) {
  // A line of a layout that was built is no longer than the text a layout
  // can hold.
  if (layout.RowCount() == 0) return std::nullopt;
  const PreparedText text =
      PrepareText(lineBeforeCaret, rules, nullptr, PreparedUnitsBound(kMaxLayoutCells));
  const auto* done = std::get_if<std::u16string>(&text);
  if (done == nullptr) return std::nullopt;
  const std::u16string& prepared = *done;
  // A replacement that brings in line breaks moves the caret's character
  // into a later line.
  std::size_t preparedLine = line;
  std::size_t lineStart = 0;
  for (std::size_t at = prepared.find(kLineBreak); at != std::u16string::npos;
       at = prepared.find(kLineBreak, lineStart)) {
    ++preparedLine;
    lineStart = at + kLineBreak.size();
  }
  const std::u16string_view before = std::u16string_view(prepared).substr(lineStart);
  std::size_t cells = 0;
  for (std::size_t unit = 0; unit < before.size(); ++cells) unit += CodePointAt(before, unit).units;
  return layout.PlaceOf(preparedLine, cells == 0 ? 0 : cells - 1);
}

CharKind KindOf(char32_t c) {
  const auto in = [c](char32_t first, char32_t last) { return c >= first && c <= last; };
  if (c == U' ' || c == U'\u3000') return CharKind::kBlank;
  if (in(0x3041, 0x309F)) return CharKind::kHiragana;
  if (in(0x30A0, 0x30FF) || in(0x31F0, 0x31FF) || in(0xFF66, 0xFF9F)) return CharKind::kKatakana;
  if (in(0x4E00, 0x9FFF) || in(0x3400, 0x4DBF) || in(0xF900, 0xFAFF) || in(0x20000, 0x3FFFF) ||
      in(0x3005, 0x3007)) {
    return CharKind::kKanji;
  }
  if (in(U'0', U'9') || in(U'A', U'Z') || in(U'a', U'z') || c == U'_' || in(0xFF10, 0xFF19) ||
      in(0xFF21, 0xFF3A) || in(0xFF41, 0xFF5A) || c == 0xFF3F || in(0x00C0, 0x024F) ||
      in(0x0370, 0x03FF) || in(0x0400, 0x04FF)) {
    return c == 0x00D7 || c == 0x00F7 ? CharKind::kOther : CharKind::kLetterOrDigit;
  }
  return CharKind::kOther;
}

}  // namespace mirotabe
