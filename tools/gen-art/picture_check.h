#pragma once
// Whether a freshly drawn picture is the committed one. Qt's rasterizer and smooth scaler
// take other SIMD paths on other CPUs, so anti-aliased pixels may come out a level or two
// apart from one machine to the next; anything more is a real change of the picture.
#include <QImage>
#include <QString>

namespace art {

struct PictureDifference {
  bool sameSize = false;
  int pixels = 0;     // pixels of which any channel differs
  int largest = 0;    // the largest difference of one channel, in levels of 255
  int total = 0;      // pixels compared
};

// Compares the colours as they show over any background (premultiplied by their alpha),
// so that the invisible colour of a transparent pixel does not count.
PictureDifference Compare(const QImage& drawn, const QImage& stored);

// Rasterizer noise: the same size, no channel off by more than kNoiseLevels, and at most
// one pixel in kNoisePixelsPerChange touched (at least kNoisePixelsAlways).
constexpr int kNoiseLevels = 3;
constexpr int kNoisePixelsPerChange = 20;
constexpr int kNoisePixelsAlways = 4;
bool IsNoise(const PictureDifference& d);

// "72 pixels, up to 40 levels" or "the size differs", for messages.
QString Describe(const PictureDifference& d);

}  // namespace art
