#include "core/pane_layout.h"

#include <algorithm>
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
  if (!dragging && geometry.split == kMiddleSplit) {
    // Whole twips: the fraction of the half is dropped.
    const long centred = RoundHalfEven(width - kSplitterWidth) / 2;
    splitter.left = static_cast<float>(centred);
  } else if (!dragging) {
    splitter.left = std::trunc((width - kSplitterWidth) * static_cast<float>(geometry.split));
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

double SplitShare(const PaneGeometry& geometry, float width) {
  const float room = width - kSplitterWidth;
  if (room <= 0) return kMiddleSplit;
  return std::clamp(static_cast<double>(geometry.splitter.left) / room, 0.0, 1.0);
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
