#include "core/entry_text.h"

#include <string>

#include "core/code_points.h"
#include "core/fullwidth.h"
#include "core/two_byte_cut.h"
#include "platform/profile.h"

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

std::u16string KeptEntryNote(const SwapEntry& entry) {
  const KeptFileText& kept = entry.kept;
  if (kept.empty()) return {};
  const std::string limit = std::to_string(kProfileReadLimit);
  const std::u16string cut = u"は長すぎるため、先頭の " +
                             std::u16string(limit.begin(), limit.end()) +
                             u" バイトまでを使います。";
  std::u16string note = u"設定ファイルのこの項目には、そのままでは使えない値があります。";
  if (kept.from) note += u"\n置き換える文字" + cut;
  if (kept.to) note += u"\n置き換え後の文字" + cut;
  if (kept.type)
    note += u"\n種類「" + *kept.type + u"」は数として読めないため、「する時」として使います。";
  return note + u"\nこの項目を削除しない限り、設定ファイルの値はそのまま残ります。";
}

std::u16string EntryToText(std::u16string_view typed, SwapKind kind) {
  const std::u16string text = WithoutLineBreaks(typed);
  return kind == SwapKind::kCell ? CutToTwoBytes(text) : std::u16string(ReadableStart(text));
}

std::u16string EntryRowText(const SwapEntry& entry) {
  std::u16string row = entry.kept.empty() ? std::u16string() : std::u16string(kKeptEntryMark);
  row += entry.from;
  row += u" >> ";
  row += entry.to;
  row += entry.kind == SwapKind::kCell ? u" 変換時" : u" 変換前";
  return row;
}

}  // namespace mirotabe
