#pragma once
// The other pictures: the explosion and the satellite of the image list, the basket,
// the game pointer, the invisible pointer and the window icon. `scale` 2 draws a picture
// on twice as many pixels each way, for high-density screens.
#include <QImage>

#include "window/form1.h"

namespace art {

// The basket spans the width of its box in the window; the box reaches below the picture.
constexpr int kBasketWidth = static_cast<int>(zbx::Form1::kBasketHome.width / zbx::Form1::kTwipsPerPixel);
static_assert(kBasketWidth * zbx::Form1::kTwipsPerPixel == zbx::Form1::kBasketHome.width,
              "the basket's box is a whole number of pixels wide");
constexpr int kBasketHeight = 30;

QImage DrawExplosion(int scale = 1);   // image 15, 32 x 32
QImage DrawSatellite(int scale = 1);   // image 16, 32 x 32
QImage DrawBasket(int scale = 1);      // kBasketWidth x kBasketHeight
// The pointer, 32 x 32, hot spot (0, 21): white outline pixels are the ones that
// invert what lies beneath; black pixels are a halo for platforms that cannot invert.
QImage DrawPointer();
QImage DrawInvisible();   // 32 x 32, every pixel transparent
QImage DrawIcon(int size, int scale = 1);  // a yellow flying craft, size x size

}  // namespace art
