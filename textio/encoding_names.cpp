#include "textio/encoding_names.h"

#include <algorithm>
#include <array>

namespace mirotabe {
namespace {

struct Alias {
  std::string_view name;  // in lower case
  NamedEncoding encoding;
};

constexpr std::array<Alias, 14> kAliases = {{
    {"utf-8", {TextEncoding::Utf8}},
    {"utf8", {TextEncoding::Utf8}},
    {"cp932", {TextEncoding::Cp932}},
    {"shift_jis", {TextEncoding::Cp932}},
    {"shift-jis", {TextEncoding::Cp932}},
    {"sjis", {TextEncoding::Cp932}},
    {"ms932", {TextEncoding::Cp932}},
    {"windows-31j", {TextEncoding::Cp932}},
    {"euc-jp", {TextEncoding::EucJp}},
    {"eucjp", {TextEncoding::EucJp}},
    {"iso-2022-jp", {TextEncoding::Iso2022Jp}},
    {"utf-16", {TextEncoding::Utf16Le, true}},
    {"utf-16le", {TextEncoding::Utf16Le}},
    {"utf-16be", {TextEncoding::Utf16Be}},
}};

bool EqualsIgnoringAsciiCase(std::string_view given, std::string_view lower) {
  return std::equal(given.begin(), given.end(), lower.begin(), lower.end(), [](char a, char b) {
    return (a >= 'A' && a <= 'Z' ? static_cast<char>(a - 'A' + 'a') : a) == b;
  });
}

}  // namespace

std::u16string OfferedEncodingCaption(const OfferedEncoding& offered) {
  const std::string_view name = EncodingName(offered.encoding);
  std::u16string caption(name.begin(), name.end());
  return caption + u"(&" + static_cast<char16_t>(offered.key) + u")";
}

std::string_view EncodingOptionName(TextEncoding encoding) {
  // The first alias of each encoding is its option name.
  const auto* const alias =
      std::find_if(kAliases.begin(), kAliases.end(), [encoding](const Alias& a) {
        return a.encoding.encoding == encoding && !a.encoding.orderFromMark;
      });
  return alias->name;
}

std::string_view EncodingName(TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::Cp932:
      return "Shift_JIS";
    case TextEncoding::Utf8:
      return "UTF-8";
    case TextEncoding::Utf16Le:
      return "UTF-16LE";
    case TextEncoding::Utf16Be:
      return "UTF-16BE";
    case TextEncoding::EucJp:
      return "EUC-JP";
    case TextEncoding::Iso2022Jp:
      return "ISO-2022-JP";
  }
  return {};
}

std::optional<NamedEncoding> EncodingNamed(std::string_view name) {
  for (const Alias& alias : kAliases) {
    if (EqualsIgnoringAsciiCase(name, alias.name)) return alias.encoding;
  }
  return std::nullopt;
}

TextEncoding EncodingOf(const NamedEncoding& named, std::string_view bytes) {
  if (named.orderFromMark && bytes.starts_with("\xFE\xFF")) return TextEncoding::Utf16Be;
  return named.encoding;
}

}  // namespace mirotabe
