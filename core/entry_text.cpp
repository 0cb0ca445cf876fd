#include "core/entry_text.h"

#include "core/code_points.h"
#include "core/fullwidth.h"
#include "core/two_byte_cut.h"

namespace mirotabe {
namespace {

std::u16string WithoutLineBreaks(std::u16string_view typed) {
  std::u16string text(typed);
  std::erase_if(text, [](char16_t c) { return c == u'\r' || c == u'\n' || c == u'\0'; });
  return text;
}

}  // namespace

std::u16string EntryFromText(std::u16string_view typed) {
  std::u16string full = ToFullWidth(WithoutLineBreaks(typed));
  if (full.empty()) return full;
  return full.substr(0, CodePointAt(full, 0).units);
}

std::u16string EntryToText(std::u16string_view typed, SwapKind kind) {
  std::u16string text = WithoutLineBreaks(typed);
  return kind == SwapKind::kCell ? CutToTwoBytes(text) : text;
}

}  // namespace mirotabe
