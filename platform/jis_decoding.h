// Reading EUC-JP and ISO-2022-JP from tables made from the system's iconv
// (see jis_tables.h), exactly as Decode() reads through iconv: a bad
// sequence gives one U+FFFD for its first byte, and the bytes after it are
// read afresh; in ISO-2022-JP the chosen set stays chosen across it.
#pragma once

#include <string>
#include <string_view>

#include "platform/charset.h"

namespace mirotabe {

// Each bad byte is added to `undecodable`, where one is given.
std::u16string DecodeEucJp(std::string_view bytes, UndecodableBytes* undecodable = nullptr);
std::u16string DecodeIso2022Jp(std::string_view bytes, UndecodableBytes* undecodable = nullptr);

// The character of JIS X 0213 (2004) at plane 1 or 2, row and cell 1..94,
// from the same tables: one unit, a surrogate pair, or a character and a
// combining mark; empty where the cell holds none or the numbers are out
// of range.
std::u16string Jisx0213Character(int plane, int row, int cell);

}  // namespace mirotabe
