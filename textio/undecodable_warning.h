// What every edition says of the bytes of a file that its encoding could
// not read (each became U+FFFD): made here once, so that the converter,
// the windows, the page and the module say the same.
#pragma once

#include <string>
#include <string_view>

#include "platform/charset.h"

namespace mirotabe {

// "N bytes at offset K could not be read as ENCODING and became �", with
// the first bad byte's offset from the start of the file and the
// encoding's option name (cp932, utf-8, …): the converter's warning on
// standard error, after "mirotabe-convert: warning: ", and the module's.
std::string UndecodableWarning(const UndecodableBytes& undecodable, TextEncoding encoding);

// The windows' status line, and the page's notice, for the file named
// `fileName`: the same count, offset and encoding (as the program shows
// encodings: Shift_JIS, UTF-8, …), in Japanese, pointing at 開き直す.
std::u16string UndecodableStatusLine(std::u16string_view fileName,
                                     const UndecodableBytes& undecodable, TextEncoding encoding);

}  // namespace mirotabe
