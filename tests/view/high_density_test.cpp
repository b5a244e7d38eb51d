// On a screen of two device pixels per logical pixel the pictures come from their
// drawings at twice the density and paint in the same logical places: nothing moves,
// and nothing is an enlarged copy of the plain picture.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QString>
#include <algorithm>
#include <cstdlib>

#include "window/form1.h"
#include "window/qt/form_painter.h"

namespace zbx::qt::test {
namespace {

// A picture file as it shows over the picture boxes' black.
QImage OverBlack(const char* file) {
  QImage art(QString(ZBX_ASSETS_DIR "/") + file);
  art.setDevicePixelRatio(1);  // Qt's reader gives NAME@2x.png a ratio of 2; here pixels are pixels
  QImage shown(art.size(), QImage::Format_RGB32);
  shown.fill(Qt::black);
  QPainter(&shown).drawImage(0, 0, art);
  return shown;
}

// The largest difference of a channel between the two, or 256 when the sizes differ.
int LargestDifference(const QImage& a, const QImage& b) {
  if (a.size() != b.size()) return 256;
  int largest = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) {
      const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
      largest = std::max(
          {largest, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)), std::abs(qBlue(p) - qBlue(q))});
    }
  return largest;
}

TEST(HighDensity, PicturesPaintFromTheirDenseDrawingsInTheSamePlaces) {
  Form1 form;
  form.picPlanet.SetPicture(PlanetImage(13));
  form.picPlanet.SetVisible(true);
  form.picPlanet.Move(600, 6000);  // clear of the panels, at whole pixels
  // The whole window painted on an image of two device pixels per logical pixel.
  QImage dense(417 * 2, 527 * 2, QImage::Format_ARGB32_Premultiplied);
  dense.setDevicePixelRatio(2);
  dense.fill(Qt::black);
  QPainter painter(&dense);
  PaintForm(painter, form, QRect(0, 0, 417, 527));
  painter.end();
  dense.setDevicePixelRatio(1);
  const QImage basket = OverBlack("basket@2x.png"), planet = OverBlack("planet13@2x.png");
  // Premultiplying on the way to the screen may round a level either way.
  EXPECT_LE(LargestDifference(dense.copy(QRect(PaintArea(form.picBasket).topLeft() * 2, basket.size())), basket), 2);
  EXPECT_LE(LargestDifference(dense.copy(QRect(PaintArea(form.picPlanet).topLeft() * 2, planet.size())), planet), 2);
}

}  // namespace
}  // namespace zbx::qt::test
