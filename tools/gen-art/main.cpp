// gen-art DIR          draws every picture and writes the PNGs into DIR
// gen-art --check DIR  draws them and compares with the PNGs in DIR (exit 1 on a difference
//                      larger than the rasterizer's noise from one CPU to another)
// Every picture the window paints, and the icon at each size, is drawn twice: NAME.png,
// and NAME@2x.png on twice as many pixels each way, which Qt's image reader marks as two
// device pixels per logical pixel; the window paints that one on high-density screens.
#include <QDir>
#include <QImage>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "picture_check.h"
#include "planets.h"
#include "sprites.h"

namespace {

struct Artwork {
  QString file;
  std::function<QImage()> draw;
};

// One picture at both densities: NAME.png and NAME@2x.png.
void AddBothDensities(std::vector<Artwork>& all, const QString& name,
                      const std::function<QImage(int)>& draw) {
  all.push_back({name + ".png", [draw] { return draw(1); }});
  all.push_back({name + "@2x.png", [draw] { return draw(2); }});
}

std::vector<Artwork> Catalogue() {
  std::vector<Artwork> all;
  for (int n = 1; n <= 14; ++n)
    AddBothDensities(all, QString("planet%1").arg(n, 2, 10, QChar('0')),
                     [n](int scale) { return art::DrawPlanet(n, scale); });
  AddBothDensities(all, "planet15", art::DrawExplosion);
  AddBothDensities(all, "planet16", art::DrawSatellite);
  AddBothDensities(all, "basket", art::DrawBasket);
  // The pointers are X cursors, not painted by the window: one density.
  all.push_back({"cursor.png", art::DrawPointer});
  all.push_back({"invisible.png", art::DrawInvisible});
  for (int size : {32, 48, 64, 128, 256})
    AddBothDensities(all, QString("icon%1").arg(size), [size](int scale) { return art::DrawIcon(size, scale); });
  return all;
}

// True when the stored picture is the drawn one, give or take rasterizer noise.
bool Matches(const QImage& drawn, const QString& path) {
  const art::PictureDifference d = art::Compare(drawn, QImage(path));
  const QByteArray name = path.toLocal8Bit();
  if (!art::IsNoise(d)) {
    std::fprintf(stderr, "gen-art: differs: %s (%s)\n", name.constData(), art::Describe(d).toLocal8Bit().constData());
    return false;
  }
  if (d.pixels > 0)
    std::printf("gen-art: %s: within rasterizer noise (%s)\n", name.constData(), art::Describe(d).toLocal8Bit().constData());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const bool check = argc == 3 && std::strcmp(argv[1], "--check") == 0;
  if (argc != 2 && !check) {
    std::fprintf(stderr, "usage: gen-art [--check] ASSETS_DIR\n");
    return 2;
  }
  const QDir dir(QString::fromLocal8Bit(argv[argc - 1]));
  int failures = 0;
  for (const Artwork& art : Catalogue()) {
    const QImage image = art.draw();
    const QString path = dir.filePath(art.file);
    if (check) {
      failures += Matches(image, path) ? 0 : 1;
    } else if (!image.save(path, "PNG")) {
      std::fprintf(stderr, "gen-art: cannot write %s\n", path.toLocal8Bit().constData());
      ++failures;
    }
  }
  return failures == 0 ? 0 : 1;
}
