// Reading EUC-JP and ISO-2022-JP from tables made from the system's iconv
// (see jis_tables.h), exactly as Decode() reads through iconv: a bad
// sequence gives one U+FFFD for its first byte, and the bytes after it are
// read afresh; in ISO-2022-JP the chosen set stays chosen across it.
#pragma once

#include <string>
#include <string_view>

namespace mirotabe {

std::u16string DecodeEucJp(std::string_view bytes);
std::u16string DecodeIso2022Jp(std::string_view bytes);

}  // namespace mirotabe
