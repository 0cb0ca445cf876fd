// Twips (1/1440 inch) to pixels and back, through the screen's logical DPI:
// 15 twips make a pixel at 96 DPI.
#pragma once

#include <QRect>
#include <QWidget>
#include <cmath>

#include "core/pane_layout.h"

namespace mirotabe {

inline constexpr double kTwipsPerInch = 1440;

inline int TwipsToPixels(double twips, double dpi) {
  return static_cast<int>(std::lround(twips * dpi / kTwipsPerInch));
}

inline float PixelsToTwips(double pixels, double dpi) {
  return static_cast<float>(pixels * kTwipsPerInch / dpi);
}

inline QRect TwipsToPixels(const TwipsRect& r, double dpi) {
  return QRect(TwipsToPixels(r.left, dpi), TwipsToPixels(r.top, dpi), TwipsToPixels(r.width, dpi),
               TwipsToPixels(r.height, dpi));
}

inline double LogicalDpi(const QWidget* widget) {
  return widget->logicalDpiX();
}

}  // namespace mirotabe
