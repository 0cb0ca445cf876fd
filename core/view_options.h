// How the window shows the text: the panes' font size, which the zoom
// commands change, and whether the output pane sets its cells with the
// font's vertical forms (縦組み表示). Both are remembered in the settings
// file (see core/settings.h).
#pragma once

namespace mirotabe {

inline constexpr int kDefaultPaneFontSize = 9;
inline constexpr int kMinPaneFontSize = 6;
inline constexpr int kMaxPaneFontSize = 72;

struct ViewOptions {
  // The panes' font size in points.
  int fontSize = kDefaultPaneFontSize;
  // On by default: the pane is read as vertical text, with ー and the
  // brackets turned as a book sets them. A file that says 0 keeps it off.
  bool verticalGlyphs = true;

  friend bool operator==(const ViewOptions&, const ViewOptions&) = default;
};

// The next size up (steps > 0) or down, through the sizes a font menu
// offers, within kMinPaneFontSize..kMaxPaneFontSize.
int ZoomedFontSize(int size, int steps);

}  // namespace mirotabe
