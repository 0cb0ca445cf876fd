// Where the main window puts its panes and the splitter, in twips
// (1/1440 inch), as plain numbers so that the rules can be checked without
// a window.
#pragma once

namespace mirotabe {

struct TwipsRect {
  float left = 0;
  float top = 0;
  float width = 0;
  float height = 0;

  friend bool operator==(const TwipsRect&, const TwipsRect&) = default;
};

// The client area a new window opens with, below its menus.
inline constexpr float kInitialClientWidth = 9060;
inline constexpr float kInitialClientHeight = 5280;

inline constexpr float kSplitterWidth = 60;

// The splitter in the middle: the share of the room it moves in that
// lies left of it.
inline constexpr double kMiddleSplit = 0.5;

struct PaneGeometry {
  TwipsRect splitter{0, 0, kSplitterWidth, 0};  // the splitter strip; its width never changes
  TwipsRect input;                              // the input pane, left of it
  TwipsRect output;                             // the output pane, right of it
  // Where a size change puts the splitter: the share, 0..1, of the room
  // (the width less the splitter's) left of it.
  double split = kMiddleSplit;

  friend bool operator==(const PaneGeometry&, const PaneGeometry&) = default;
};

// Lays the window out for a client area of `width` × `height` twips:
// 1. the splitter gets the full height;
// 2. unless it is being dragged, the splitter keeps its share of the room:
//    in the middle, (width − 60) rounded half to even, then halved with the
//    fraction dropped; elsewhere (width − 60) × share, the fraction dropped;
// 3. the input pane fills the room left of the splitter;
// 4. the output pane fills the room right of it.
// A step that would give something a negative size is skipped, and what it
// would have moved keeps its old geometry.
void PlacePanes(PaneGeometry& geometry, float width, float height, bool dragging);

// The share of the room left of the splitter where it now stands, within
// 0..1, for a client area `width` twips wide.
double SplitShare(const PaneGeometry& geometry, float width);

// Drag state of the splitter. Positions are in twips from the splitter's
// left edge, as the mouse events report them.
class SplitterDrag {
 public:
  bool dragging() const { return dragging_; }

  // Any button: remembers the grabbed point.
  void Press(float x);
  // Moves the splitter so that the grabbed point stays under the pointer;
  // returns false (and moves nothing) when no drag is on.
  bool Move(float x, TwipsRect& splitter) const;
  void Release() { dragging_ = false; }

 private:
  bool dragging_ = false;
  int startX_ = 0;
};

}  // namespace mirotabe
