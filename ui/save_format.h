// The file types of the save dialogs of text: the encodings a text can be
// saved in, for the vertical output and for the input as it was typed.
#pragma once

#include <QString>
#include <QStringList>

#include "core/settings.h"
#include "platform/charset.h"
#include "platform/io_error.h"
#include "textio/file_types.h"

namespace mirotabe {

// Shift_JIS (code page 932) first, then UTF-8.
const QStringList& SaveFileFilters(SavedText text = SavedText::kVertical);

// The file type that saves in `charset`.
const QString& SaveFileFilter(Charset charset, SavedText text = SavedText::kVertical);

// The encoding of file type `filter`, of either kind; Shift_JIS for any
// other text.
Charset SaveFileCharset(const QString& filter);

}  // namespace mirotabe
