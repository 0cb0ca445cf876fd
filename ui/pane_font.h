// The fixed-pitch Japanese font of the panes and the replacement list.
#pragma once

#include <QFont>

namespace mirotabe {

// "ＭＳ ゴシック" at `pointSize` (9 pt unless zoomed) when installed; otherwise IPAGothic, Noto
// Sans Mono CJK JP, then the system's monospace font, so that the columns stand straight.
QFont PaneFont(int pointSize = 9);

}  // namespace mirotabe
