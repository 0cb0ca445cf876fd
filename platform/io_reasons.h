// Why a file operation failed, in Japanese: the one place that words the
// system's error numbers and this program's own failure kinds for the
// messages of the window and the browser, so that no Japanese message ends
// in an English reason.
#pragma once

#include <string>

#include "platform/io_error.h"

namespace mirotabe {

// The reason of `error` as a Japanese sentence, ending in "。": one of the
// usual error numbers (a missing file, no permission, a full disk, ...), or
// FileError's kinds, with the size where the error has one. An error number
// without words of its own is given by its number.
std::u16string JapaneseReason(const IoError& error);

}  // namespace mirotabe
