#include "ui/pane_layout.h"

#include <cmath>

namespace mirotabe {
namespace {

// Rounds half to even, as the window's integer arithmetic does.
long RoundHalfEven(float value) {
  return std::lrint(value);
}

}  // namespace

void PlacePanes(PaneGeometry& geometry, float width, float height, bool dragging) {
  TwipsRect& splitter = geometry.splitter;
  if (height >= 0) splitter.height = height;
  if (!dragging) {
    // Whole twips: the fraction of the half is dropped.
    const long centred = RoundHalfEven(width - kSplitterWidth) / 2;
    splitter.left = static_cast<float>(centred);
  }

  if (splitter.left >= 0 && height >= 0) {
    geometry.input = {0, 0, splitter.left, height};
  }
  const float outputLeft = splitter.left + kSplitterWidth;
  const float outputWidth = width - outputLeft;
  if (outputWidth >= 0 && height >= 0) {
    geometry.output = {outputLeft, 0, outputWidth, height};
  }
}

void SplitterDrag::Press(float x) {
  startX_ = static_cast<int>(RoundHalfEven(x));
  dragging_ = true;
}

bool SplitterDrag::Move(float x, TwipsRect& splitter) const {
  if (!dragging_) return false;
  splitter.left = (x - static_cast<float>(startX_)) + splitter.left;
  splitter.top = 0;
  return true;
}

}  // namespace mirotabe
