// The names of the encodings: as the program shows them, and as users give
// them on command lines, in any letter case and with the usual aliases.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "platform/charset.h"

namespace mirotabe {

// Shift_JIS (for code page 932, as the save dialog calls it), UTF-8,
// UTF-16LE, UTF-16BE, EUC-JP or ISO-2022-JP.
std::string_view EncodingName(TextEncoding encoding);

// An encoding a window's menu offers to read a file again in, with the
// letter of its name that is the item's access key.
struct OfferedEncoding {
  TextEncoding encoding = TextEncoding::Cp932;
  char key = 'S';
};

// What エンコーディングを指定して開き直す offers, for when the detection took
// the wrong encoding: every one the program reads, the common ones first.
inline constexpr std::array<OfferedEncoding, 6> kReopenEncodings{{
    {TextEncoding::Cp932, 'S'},
    {TextEncoding::Utf8, 'U'},
    {TextEncoding::EucJp, 'E'},
    {TextEncoding::Iso2022Jp, 'J'},
    {TextEncoding::Utf16Le, 'L'},
    {TextEncoding::Utf16Be, 'B'},
}};

// The menu item's caption of `offered`: "Shift_JIS(&S)".
std::u16string OfferedEncodingCaption(const OfferedEncoding& offered);

// The name that options give `encoding` by (cp932, utf-8, utf-16le,
// utf-16be, euc-jp, iso-2022-jp), one that EncodingNamed() takes back.
std::string_view EncodingOptionName(TextEncoding encoding);

// An encoding as a user names it.
struct NamedEncoding {
  TextEncoding encoding = TextEncoding::Cp932;
  // "UTF-16" names no byte order: the byte-order mark decides, and
  // little-endian holds without one (`encoding` is then Utf16Le).
  bool orderFromMark = false;

  friend bool operator==(const NamedEncoding&, const NamedEncoding&) = default;
};

// What `name` stands for, in any letter case: UTF-8 or UTF8; Shift_JIS,
// Shift-JIS, SJIS, CP932, MS932 or Windows-31J (all of them code page 932,
// Microsoft's Shift_JIS); EUC-JP or EUCJP; ISO-2022-JP; UTF-16, UTF-16LE or
// UTF-16BE. Nothing for any other name.
std::optional<NamedEncoding> EncodingNamed(std::string_view name);

// The encoding that `named` reads `bytes` in.
TextEncoding EncodingOf(const NamedEncoding& named, std::string_view bytes);

}  // namespace mirotabe
