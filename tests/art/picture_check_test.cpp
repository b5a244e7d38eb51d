// The artwork check: rasterizer noise from another CPU passes, a real change of a picture
// does not; and gen-art --check says which file differs.
#include "tools/gen-art/picture_check.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <functional>

namespace art {
namespace {

QImage Asset(const char* name) {
  return QImage(QString(ZBX_ASSETS_DIR "/") + name).convertToFormat(QImage::Format_ARGB32);
}

// Each pixel of which `which` holds (x, y, pixel) made brighter by the given levels, or
// magenta if it is fully transparent.
QImage Changed(QImage image, const std::function<bool(int, int, QRgb)>& which, int red, int green, int blue) {
  const auto up = [](int c, int by) { return std::clamp(c + by, 0, 255); };
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const QRgb p = image.pixel(x, y);
      if (!which(x, y, p)) continue;
      image.setPixel(x, y,
                     qAlpha(p) == 0 ? qRgba(255, 0, 255, 0)
                                    : qRgba(up(qRed(p), red), up(qGreen(p), green), up(qBlue(p), blue), qAlpha(p)));
    }
  return image;
}
bool All(int, int, QRgb) { return true; }

TEST(PictureCheck, NoisePassesARealChangeDoesNot) {
  const struct {
    const char* what;
    const char* file;  // as the generator draws it, and as stored: changed by `change`
    std::function<QImage(QImage)> change;
    bool passes;
  } cases[] = {
      {"three levels on one pixel in 25, any colour under the transparent ones", "planet05.png",
       [](QImage i) {
         return Changed(
             i, [](int x, int y, QRgb p) { return qAlpha(p) == 0 || (x * 7 + y) % 25 == 0; }, 3, -3, 3);
       },
       true},
      {"a planet four levels redder", "planet05.png", [](QImage i) { return Changed(i, All, 4, 0, 0); }, false},
      {"a planet one level brighter all over", "planet05.png", [](QImage i) { return Changed(i, All, 1, 1, 1); },
       false},
      {"a basket one pixel wider", "basket.png", [](QImage i) { return i.scaled(i.width() + 1, i.height()); }, false},
      {"a lost transparent border (saved without alpha)", "planet05.png",
       [](QImage i) { return i.convertToFormat(QImage::Format_RGB32); }, false},
      {"a missing file", "planet05.png", [](QImage) { return QImage(); }, false},
  };
  for (const auto& c : cases) {
    const PictureDifference d = Compare(Asset(c.file), c.change(Asset(c.file)));
    EXPECT_EQ(IsNoise(d), c.passes) << c.what << ": " << Describe(d).toStdString();
  }
}

// The tool over a copy of the assets with one picture swapped: status 1, naming just that file.
TEST(PictureCheck, ToolNamesTheChangedFile) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QDir assets(ZBX_ASSETS_DIR);
  for (const QString& name : assets.entryList({"*.png"}, QDir::Files))
    ASSERT_TRUE(QFile::copy(assets.filePath(name), dir.filePath(name))) << name.toStdString();
  ASSERT_TRUE(QFile::remove(dir.filePath("planet05.png")));
  ASSERT_TRUE(QFile::copy(assets.filePath("planet06.png"), dir.filePath("planet05.png")));
  QProcess tool;
  tool.start(ZBX_BIN_DIR "/gen-art", {"--check", dir.path()});
  ASSERT_TRUE(tool.waitForFinished(60000));
  EXPECT_EQ(tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1, 1);
  const QString errors = QString::fromLocal8Bit(tool.readAllStandardError());
  EXPECT_TRUE(errors.startsWith("gen-art: differs: ") && errors.contains("/planet05.png (")) << errors.toStdString();
  EXPECT_EQ(errors.count('\n'), 1) << errors.toStdString();
}

}  // namespace
}  // namespace art
