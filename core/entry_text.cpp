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

std::optional<std::u16string> EntryToRefusal(const SwapEntry& entry) {
  if (entry.kept.to || entry.from.empty()) return std::nullopt;
  // The file's own writer and reader say what comes back.
  bool whole = WithoutLineBreaks(entry.to) == entry.to;
  if (whole) {
    AppSettings one;
    one.rules.table.Append(entry);
    ProfileFile profile = ProfileFile::FromBytes("Setting.ini", "");
    AppSettings back;
    if (WriteSettings(one, profile).ok()) ReadSettings(back, profile);
    whole = back.rules.table.Count() == 1 && back.rules.table[0].to == entry.to;
  }
  if (whole) return std::nullopt;
  const std::string limit = std::to_string(kProfileReadLimit);
  return u"置き換え後の文字「" + entry.to + u"」は設定ファイルに保存できません。改行を含まず、" +
         std::u16string(limit.begin(), limit.end()) + u" バイトまでにしてください。";
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
