// The fixed-pitch Japanese font of the panes and the replacement list.
#pragma once

#include <QFont>

namespace mirotabe {

// "ＭＳ ゴシック" 9 pt when installed; otherwise IPAGothic, Noto Sans Mono CJK
// JP, then the system's monospace font, so that the columns stand straight.
QFont PaneFont();

}  // namespace mirotabe
