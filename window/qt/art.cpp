#include "window/qt/art.h"

#include <QBitmap>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <map>
#include <utility>

// Outside any namespace: the resource initialiser of the static library, which the
// linker would otherwise drop because nothing refers to it.
static void InitImageResources() { Q_INIT_RESOURCE(images); }

namespace zbx::qt {
namespace {

QString ResourceOf(Picture p) {
  if (IsPlanetImage(p)) return QString(":/img/planet%1.png").arg(static_cast<int>(p), 2, 10, QChar('0'));
  switch (p) {
    case Picture::Basket: return ":/img/basket.png";
    case Picture::Cursor: return ":/img/cursor.png";
    case Picture::Invisible: return ":/img/invisible.png";
    case Picture::Icon: return ":/img/icon32.png";
    default: return {};
  }
}

// Only Windows can invert the screen under a pointer; elsewhere the outline shows
// white with its black halo, which is how an inverting outline looks over the game's
// black background and stays visible over light surfaces.
bool CanInvertPointer() { return QGuiApplication::platformName() == QLatin1String("windows"); }

// A two-colour pointer from a picture in which white pixels are the outline and black
// ones its halo (see tools/gen-art).
QCursor BitmapPointer(const QImage& image, int hotX, int hotY) {
  QBitmap bitmap(image.size()), mask(image.size());
  bitmap.fill(Qt::color0);
  mask.fill(Qt::color0);
  QPainter ink(&bitmap), cover(&mask);
  const bool invert = CanInvertPointer();
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QRgb px = image.pixel(x, y);
      if (qAlpha(px) < 128) continue;
      const bool outline = qGray(px) >= 128;
      // bitmap 1 + mask 0 inverts; 1 + 1 is black; 0 + 1 is white; 0 + 0 is clear.
      if (outline && invert) {
        ink.drawPoint(x, y);
      } else if (outline) {
        cover.drawPoint(x, y);
      } else if (!invert) {  // the halo is only needed where nothing inverts
        ink.drawPoint(x, y);
        cover.drawPoint(x, y);
      }
    }
  }
  ink.end();
  cover.end();
  return QCursor(bitmap, mask, hotX, hotY);
}

// The picture drawn on twice as many pixels (NAME@2x.png) when the device has more than
// one pixel per logical pixel; its ratio of 2 makes it paint in the same logical
// rectangle as NAME.png, so the window's geometry does not change.
QPixmap LoadPicture(const QString& path, bool dense) {
  if (dense) {
    QString twice = path;
    twice.insert(twice.size() - 4, "@2x");  // before ".png"
    if (QFile::exists(twice)) {
      QPixmap pixmap(twice);
      pixmap.setDevicePixelRatio(2.0);
      return pixmap;
    }
  }
  return QPixmap(path);
}

}  // namespace

const QPixmap& PicturePixmap(Picture p, qreal devicePixelRatio) {
  static std::map<std::pair<Picture, bool>, QPixmap> cache;
  const auto key = std::make_pair(p, devicePixelRatio > 1.0);
  auto it = cache.find(key);
  if (it == cache.end()) {
    InitImageResources();
    const QString path = ResourceOf(p);
    it = cache.emplace(key, path.isEmpty() ? QPixmap() : LoadPicture(path, key.second)).first;
  }
  return it->second;
}

QCursor PointerFor(Picture p) {
  constexpr int kHotX = 0, kHotY = 21;
  if (p != Picture::Cursor && p != Picture::Invisible) return QCursor(Qt::ArrowCursor);
  return BitmapPointer(PicturePixmap(p).toImage(), kHotX, kHotY);
}

QIcon WindowIcon() {
  InitImageResources();
  QIcon icon;
  for (int size : {32, 48, 64, 128, 256}) icon.addFile(QString(":/img/icon%1.png").arg(size), QSize(size, size));
  return icon;
}

}  // namespace zbx::qt
