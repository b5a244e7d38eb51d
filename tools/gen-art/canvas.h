#pragma once
// Drawing helpers shared by the pictures: a supersampled canvas (drawn large, then
// averaged down, so small sprites get smooth edges) and a seeded random source, so
// that every run draws exactly the same pixels.
#include <QColor>
#include <QImage>
#include <QPainter>
#include <cstdint>
#include <functional>

namespace art {

// Draws with `paint` in target-pixel coordinates on a canvas `scale * factor` times
// larger, then averages it down to width x height pixels times `scale` (2 for the
// pictures of high-density screens: the same shapes on twice as many pixels). The
// result is ARGB32 (straight alpha).
QImage Supersampled(int width, int height, const std::function<void(QPainter&)>& paint,
                    int scale = 1, int factor = 8);

// A small deterministic generator (xorshift64*): same seed, same picture.
class Dice {
 public:
  explicit Dice(std::uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ULL + 1) {}
  double Uniform();                                 // [0, 1)
  double Between(double low, double high) { return low + (high - low) * Uniform(); }

 private:
  std::uint64_t state_;
};

QColor WithAlpha(QColor c, int alpha);
// Mixes a towards b by t in [0, 1].
QColor Mix(const QColor& a, const QColor& b, double t);

}  // namespace art
