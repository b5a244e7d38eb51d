#pragma once
// The window's pictures, embedded as resources (drawn by tools/gen-art): the images of
// imlPlanets, the basket, both pointers and the window icon.
#include <QCursor>
#include <QIcon>
#include <QPixmap>

#include "window/control.h"

namespace zbx::qt {

// The bitmap of a picture for a paint device with that many device pixels per logical
// pixel: above 1, the one drawn at twice the density where there is one (with a device
// pixel ratio of 2, so it covers the same logical size). A null pixmap for Picture::None.
const QPixmap& PicturePixmap(Picture p, qreal devicePixelRatio = 1.0);
// The pointer a picture stands for: the game pointer (hot spot 0, 21) for
// Picture::Cursor, a fully transparent one for Picture::Invisible, the platform's
// arrow for anything else.
QCursor PointerFor(Picture p);
QIcon WindowIcon();

}  // namespace zbx::qt
