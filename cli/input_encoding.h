// The encoding an input is read in, as the converter's --from names it:
// found from the bytes (auto), or named.
#pragma once

#include <optional>
#include <string_view>

#include "textio/encoding_names.h"
#include "textio/text_file.h"

namespace mirotabe {

struct InputEncoding {
  // None for auto: found like the program's open command finds it.
  std::optional<NamedEncoding> named;
};

// "auto", or a name that EncodingNamed() takes, in any letter case;
// nothing for any other name.
std::optional<InputEncoding> InputEncodingNamed(std::string_view name);

// The text of `bytes` read in `from`; `undetermined` says when an automatic
// reading was a guess with bad bytes.
DetectedText ReadInput(std::string_view bytes, const InputEncoding& from);

}  // namespace mirotabe
