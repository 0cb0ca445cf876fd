// The encoding an input is read in, as the converter's --from names it:
// found from the bytes (auto), or named.
#pragma once

#include <optional>
#include <string_view>

#include "textio/text_file.h"

namespace mirotabe {

enum class InputEncoding { kAuto, kCp932, kUtf8, kUtf16, kEucJp, kIso2022Jp };

// auto, cp932, utf-8, utf-16, euc-jp or iso-2022-jp; nothing for any other.
std::optional<InputEncoding> InputEncodingNamed(std::string_view name);

// The text of `bytes` read in `from`: like the program's open command for
// kAuto (`undetermined` says when that was a guess with bad bytes), else in
// the named encoding; utf-16 follows the byte-order mark, little-endian
// without one.
DetectedText ReadInput(std::string_view bytes, InputEncoding from);

}  // namespace mirotabe
