#include "picture_check.h"

#include <algorithm>
#include <cstdlib>

namespace art {
namespace {

// A channel of a straight-alpha pixel as it shows, rounded; computed here rather than by
// Qt's conversions, which take CPU-dependent paths too.
int Shown(QRgb pixel, int shift) {
  return (static_cast<int>((pixel >> shift) & 0xFF) * qAlpha(pixel) + 127) / 255;
}

}  // namespace

PictureDifference Compare(const QImage& drawn, const QImage& stored) {
  PictureDifference d;
  if (drawn.isNull() || stored.isNull() || drawn.size() != stored.size()) return d;
  d.sameSize = true;
  const QImage a = drawn.convertToFormat(QImage::Format_ARGB32);
  const QImage b = stored.convertToFormat(QImage::Format_ARGB32);
  d.total = a.width() * a.height();
  for (int y = 0; y < a.height(); ++y) {
    const auto* rowA = reinterpret_cast<const QRgb*>(a.constScanLine(y));
    const auto* rowB = reinterpret_cast<const QRgb*>(b.constScanLine(y));
    for (int x = 0; x < a.width(); ++x) {
      int largest = std::abs(qAlpha(rowA[x]) - qAlpha(rowB[x]));
      for (int shift : {0, 8, 16}) largest = std::max(largest, std::abs(Shown(rowA[x], shift) - Shown(rowB[x], shift)));
      if (largest == 0) continue;
      ++d.pixels;
      d.largest = std::max(d.largest, largest);
    }
  }
  return d;
}

bool IsNoise(const PictureDifference& d) {
  return d.sameSize && d.largest <= kNoiseLevels &&
         d.pixels <= std::max(kNoisePixelsAlways, d.total / kNoisePixelsPerChange);
}

QString Describe(const PictureDifference& d) {
  if (!d.sameSize) return "the size differs (or the file is missing)";
  return QString("%1 of %2 pixels, up to %3 levels").arg(d.pixels).arg(d.total).arg(d.largest);
}

}  // namespace art
