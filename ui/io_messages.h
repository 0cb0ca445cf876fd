// How the windows word a failed file access, and the messages about the
// settings file, alike wherever it is read or written.
#pragma once

#include <QString>

#include "platform/io_error.h"

namespace mirotabe {

// Why `error` happened, in Japanese words for the user (see JapaneseReason).
QString ReasonText(const IoError& error);

// The settings file could not be read; the program goes on with the defaults.
QString SettingsNotReadText(const IoError& error);

// The settings file could not be written.
QString SettingsNotSavedText(const IoError& error);

}  // namespace mirotabe
