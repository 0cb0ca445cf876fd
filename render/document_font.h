// The fonts that PDFs draw their cells with, so that their text reads back
// exactly as the cells hold it.
#pragma once

#include <QRawFont>
#include <QString>

namespace mirotabe {

// The family of the copy of `font` (see FontCopy) whose character map
// sends each character to the glyph it is drawn with, upright or, with
// `verticalForms`, in its vertical form where it has one (see
// VerticalForms); made and registered with Qt once per process. Empty when
// the copy cannot be made.
QString DocumentFontFamily(const QRawFont& font, bool verticalForms);

}  // namespace mirotabe
