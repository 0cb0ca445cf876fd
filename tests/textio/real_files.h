// Files as people have them, made at test time from a real Japanese text
// (the Japanese Debian Reference): cut at many lengths, a few characters
// long too, written in every encoding a text file can be in, with and
// without a byte-order mark, and some with a bad byte.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/charset.h"

namespace mirotabe::testing_support {

struct RealFile {
  // What it is: the encoding, the text or where it was cut and how long,
  // "marked" with a byte-order mark, "cut" when a character lost its last
  // byte, "stray" when a bad byte stands in it: "euc-jp 20 at 3 cut".
  std::string name;
  std::u16string_view shortText;                // the text, when it is one of the short ones
  std::size_t characters = 0;                   // the length of the text written
  TextEncoding encoding = TextEncoding::Cp932;  // the encoding it was written in
  std::string bytes;
  std::u16string text;  // what reading the bytes in `encoding` gives
};

// Every file of the table, the same ones every run.
const std::vector<RealFile>& RealFiles();

// The encoders the table writes with, made from the decoding tables, so
// that each file reads back through them. A character the encoding cannot
// hold becomes '?'.
std::string EncodeEucJp(std::u16string_view text);
// ISO-2022-JP; with a JIS X 0213 designation (ESC $ ( O, or ESC $ ( Q)
// for every double-byte character when `jisX0213` names one.
std::string EncodeIso2022Jp(std::u16string_view text, std::string_view jisX0213 = {});

}  // namespace mirotabe::testing_support
