// The fixed-pitch Japanese font families of the panes and the pictures, in
// order of preference.
#pragma once

#include <QStringList>

namespace mirotabe {

// "ＭＳ ゴシック" when installed; otherwise IPAGothic, Noto Sans Mono CJK JP,
// then the system's monospace font, so that the columns stand straight.
const QStringList& PaneFontFamilies();

}  // namespace mirotabe
