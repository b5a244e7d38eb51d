// The artwork check: rasterizer noise from another CPU passes, a real change of a picture
// does not; and gen-art --check says which file differs.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <functional>

#include "tools/gen-art/picture_check.h"

namespace art {
namespace {

QImage Asset(const char* name) {
  return QImage(QString(ZBX_ASSETS_DIR "/") + name).convertToFormat(QImage::Format_ARGB32);
}

// Applies f to every pixel of which `which` holds (x, y, pixel).
QImage EachPixel(QImage image, const std::function<bool(int, int, QRgb)>& which, const std::function<QRgb(QRgb)>& f) {
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (which(x, y, image.pixel(x, y))) image.setPixel(x, y, f(image.pixel(x, y)));
  return image;
}
bool Seen(int, int, QRgb p) { return qAlpha(p) > 0; }
QRgb Brighter(QRgb p, int red, int green, int blue) {
  const auto up = [](int c, int by) { return std::clamp(c + by, 0, 255); };
  return qRgba(up(qRed(p), red), up(qGreen(p), green), up(qBlue(p), blue), qAlpha(p));
}

struct Case {
  const char* what;
  const char* drawn;   // the picture as the generator draws it
  const char* stored;  // the file, changed by `change`
  std::function<QImage(QImage)> change;
  bool passes;
};

TEST(PictureCheck, NoisePassesARealChangeDoesNot) {
  const auto same = [](QImage i) { return i; };
  const Case cases[] = {
      {"the picture as it is", "planet05.png", "planet05.png", same, true},
      {"two levels on one pixel in 25 (another CPU's rounding)", "planet05.png", "planet05.png",
       [](QImage i) {
         return EachPixel(i, [](int x, int y, QRgb p) { return Seen(x, y, p) && (x * 7 + y) % 25 == 0; },
                          [](QRgb p) { return Brighter(p, 2, -2, 2); });
       },
       true},
      {"three levels on the icon's edge pixels", "icon256.png", "icon256.png",
       [](QImage i) {
         return EachPixel(i, [](int, int, QRgb p) { return qAlpha(p) > 0 && qAlpha(p) < 255; },
                          [](QRgb p) { return Brighter(p, -3, 3, -3); });
       },
       true},
      {"any colour under fully transparent pixels", "basket.png", "basket.png",
       [](QImage i) {
         return EachPixel(i, [](int, int, QRgb p) { return qAlpha(p) == 0; }, [](QRgb) { return qRgba(255, 0, 255, 0); });
       },
       true},
      {"a recoloured planet (red and blue swapped)", "planet05.png", "planet05.png",
       [](QImage i) { return i.rgbSwapped(); }, false},
      {"a planet a little redder", "planet05.png", "planet05.png",
       [](QImage i) { return EachPixel(i, Seen, [](QRgb p) { return Brighter(p, 8, 0, 0); }); }, false},
      {"a planet one level brighter all over", "planet05.png", "planet05.png",
       [](QImage i) { return EachPixel(i, Seen, [](QRgb p) { return Brighter(p, 1, 1, 1); }); }, false},
      {"a crater moved (a spot of 3 x 3 pixels)", "planet11.png", "planet11.png",
       [](QImage i) {
         return EachPixel(i, [](int x, int y, QRgb) { return x >= 14 && x < 17 && y >= 14 && y < 17; },
                          [](QRgb p) { return Brighter(p, -40, -40, -40); });
       },
       false},
      {"a basket one pixel wider (its file too)", "basket.png", "basket.png",
       [](QImage i) { return i.scaled(i.width() + 1, i.height()); }, false},
      {"a basket one pixel wider in its frame (right half moved)", "basket.png", "basket.png",
       [](QImage i) {
         QImage wider = i;
         for (int y = 0; y < i.height(); ++y)
           for (int x = i.width() / 2 + 1; x < i.width(); ++x) wider.setPixel(x, y, i.pixel(x - 1, y));
         return wider;
       },
       false},
      {"a lost transparent border (saved without alpha)", "planet05.png", "planet05.png",
       [](QImage i) { return i.convertToFormat(QImage::Format_RGB32); }, false},
      {"a lost transparent border (filled black)", "planet16.png", "planet16.png",
       [](QImage i) {
         return EachPixel(i, [](int, int, QRgb p) { return qAlpha(p) == 0; }, [](QRgb) { return qRgb(0, 0, 0); });
       },
       false},
      {"planet06 in planet05's file", "planet05.png", "planet06.png", same, false},
      {"the icon in a planet's file", "planet01.png", "icon32.png", same, false},
      {"the empty pointer in the pointer's file", "cursor.png", "invisible.png", same, false},
      {"a missing file", "planet05.png", "planet05.png", [](QImage) { return QImage(); }, false},
      // The pictures for high-density screens are drawn anew, not enlarged.
      {"a picture drawn at twice the density", "planet13@2x.png", "planet13@2x.png", same, true},
      {"the planet enlarged to twice its size", "planet13@2x.png", "planet13.png",
       [](QImage i) { return i.scaled(64, 64, Qt::IgnoreAspectRatio, Qt::SmoothTransformation); }, false},
      {"the basket at its plain size in the file of twice the density", "basket@2x.png", "basket.png", same, false},
  };
  for (const Case& c : cases) {
    const PictureDifference d = Compare(Asset(c.drawn), c.change(Asset(c.stored)));
    EXPECT_EQ(IsNoise(d), c.passes) << c.what << ": " << Describe(d).toStdString();
  }
  EXPECT_EQ(Compare(Asset("planet05.png"), Asset("planet05.png")).pixels, 0);
}

// The tool over a copy of the assets: exit status 0, or 1 naming each file that differs.
TEST(PictureCheck, ToolNamesTheChangedFiles) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QDir assets(ZBX_ASSETS_DIR);
  for (const QString& name : assets.entryList({"*.png"}, QDir::Files))
    ASSERT_TRUE(QFile::copy(assets.filePath(name), dir.filePath(name))) << name.toStdString();
  const auto check = [&dir](int& status) {
    QProcess tool;
    tool.start(ZBX_BIN_DIR "/gen-art", {"--check", dir.path()});
    EXPECT_TRUE(tool.waitForFinished(60000));
    status = tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1;
    return QString::fromLocal8Bit(tool.readAllStandardError());
  };
  int status = -1;
  EXPECT_EQ(check(status), "");
  EXPECT_EQ(status, 0);

  ASSERT_TRUE(QFile::remove(dir.filePath("planet05.png")));
  ASSERT_TRUE(QFile::copy(assets.filePath("planet06.png"), dir.filePath("planet05.png")));
  ASSERT_TRUE(Asset("basket.png").scaled(66, 30).save(dir.filePath("basket.png")));
  ASSERT_TRUE(QFile::remove(dir.filePath("icon256@2x.png")));
  const QStringList lines = check(status).split('\n', Qt::SkipEmptyParts);
  EXPECT_EQ(status, 1);
  ASSERT_EQ(lines.size(), 3) << lines.join('\n').toStdString();
  EXPECT_TRUE(lines[0].startsWith("gen-art: differs: ") && lines[0].contains("/planet05.png (")) << lines[0].toStdString();
  EXPECT_TRUE(lines[1].contains("/basket.png (the size differs")) << lines[1].toStdString();
  EXPECT_TRUE(lines[2].contains("/icon256@2x.png (the size differs")) << lines[2].toStdString();
}

}  // namespace
}  // namespace art
