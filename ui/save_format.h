// The file types of the save dialog: the encodings the output can be saved in.
#pragma once

#include <QString>
#include <QStringList>

#include "core/settings.h"
#include "platform/charset.h"
#include "platform/io_error.h"

namespace mirotabe {

// Shift_JIS (code page 932) first, then UTF-8.
const QStringList& SaveFileFilters();

// The file type that saves in `charset`.
const QString& SaveFileFilter(Charset charset);

// The encoding of file type `filter`; Shift_JIS for any other text.
Charset SaveFileCharset(const QString& filter);

// Makes `charset` the one the save dialog offers first, in `settings` and,
// when that is a change, in the settings file.
IoStatus RememberSaveCharset(AppSettings& settings, Charset charset);

}  // namespace mirotabe
