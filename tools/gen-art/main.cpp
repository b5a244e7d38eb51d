// gen-art DIR          draws every picture and writes the PNGs into DIR
// gen-art --check DIR  draws them and compares with the PNGs in DIR (exit 1 on a difference
//                      larger than the rasterizer's noise from one CPU to another)
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

std::vector<Artwork> Catalogue() {
  std::vector<Artwork> all;
  for (int n = 1; n <= 14; ++n)
    all.push_back({QString("planet%1.png").arg(n, 2, 10, QChar('0')), [n] { return art::DrawPlanet(n); }});
  all.push_back({"planet15.png", art::DrawExplosion});
  all.push_back({"planet16.png", art::DrawSatellite});
  all.push_back({"basket.png", art::DrawBasket});
  all.push_back({"cursor.png", art::DrawPointer});
  all.push_back({"invisible.png", art::DrawInvisible});
  for (int size : {32, 48, 64, 128, 256})
    all.push_back({QString("icon%1.png").arg(size), [size] { return art::DrawIcon(size); }});
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
