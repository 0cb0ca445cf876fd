// The encodings a conversion is asked for by name, as the converter's
// --from and --encoding and the browser module's options name them: the
// input's, found from the bytes (auto) or named, and the output's, which
// must be one that can be written.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>

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

// Why `name` is no input encoding, naming the ones there are.
std::string UnknownInputEncoding(std::string_view name);

// The charset that output encoding `name` (any letter case) writes, or why
// it cannot be written.
std::variant<Charset, std::string> OutputCharsetNamed(std::string_view name);

// The text of `bytes` read in `from`; `undetermined` says when an automatic
// reading was a guess with bad bytes.
DetectedText ReadInput(std::string_view bytes, const InputEncoding& from);

}  // namespace mirotabe
