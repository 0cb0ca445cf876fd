// uchardet's guess at the encoding of a file's bytes: the yardstick that the
// encoding detection is held to on Linux, where uchardet is packaged.
#pragma once

#include <optional>
#include <string_view>

#include "platform/charset.h"

namespace mirotabe::testing_support {

// The encoding uchardet names for `bytes`, where it names one a text file
// can be in; nothing when it names another or none.
std::optional<TextEncoding> UchardetGuess(std::string_view bytes);

}  // namespace mirotabe::testing_support
