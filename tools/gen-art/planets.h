#pragma once
// The planets of the image list: 14 worlds in five size classes (images 1-2 smallest,
// 13-14 filling the frame), each 32 x 32 with a transparent background.
#include <QImage>

namespace art {

// n = 1..14; `scale` 2 draws it on 64 x 64 pixels, for high-density screens.
QImage DrawPlanet(int n, int scale = 1);

}  // namespace art
