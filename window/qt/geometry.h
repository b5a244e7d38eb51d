#pragma once
// Twips of the model to logical pixels of the view: 15 twips per pixel. Edges are
// rounded one by one, so controls that touch in twips touch on screen too.
#include <QRect>
#include <cmath>

#include "window/control.h"
#include "window/form1.h"

namespace zbx::qt {

inline int ToPixels(double twips) {
  return static_cast<int>(std::lround(twips / Form1::kTwipsPerPixel));
}

inline QRect ToPixels(const RectTwips& r) {
  const int left = ToPixels(r.left), top = ToPixels(r.top);
  return QRect(left, top, ToPixels(r.left + r.width) - left, ToPixels(r.top + r.height) - top);
}

inline double ToTwips(double pixels) { return pixels * Form1::kTwipsPerPixel; }

// The window's client area in logical pixels: 417 x 527.
inline QSize ClientSize() {
  return {ToPixels(Form1::kScaleWidth), ToPixels(Form1::kScaleHeight)};
}

}  // namespace zbx::qt
