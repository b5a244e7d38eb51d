#pragma once
// The other pictures: the explosion and the satellite of the image list, the basket,
// the game pointer, the invisible pointer and the window icon.
#include <QImage>

namespace art {

QImage DrawExplosion();   // image 15, 32 x 32
QImage DrawSatellite();   // image 16, 32 x 32
QImage DrawBasket();      // 65 x 30
// The pointer, 32 x 32, hot spot (0, 21): white outline pixels are the ones that
// invert what lies beneath; black pixels are a halo for platforms that cannot invert.
QImage DrawPointer();
QImage DrawInvisible();   // 32 x 32, every pixel transparent
QImage DrawIcon(int size);  // a yellow flying craft, size x size

}  // namespace art
