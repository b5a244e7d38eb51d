#include "planets.h"

#include <QPainterPath>
#include <QRadialGradient>
#include <array>
#include <cmath>
#include <vector>

#include "canvas.h"

namespace art {
namespace {

constexpr double kCentre = 16.0;

enum class Surface { Plain, Bands, Continents, Craters, Lava, Storm };

struct Ring {
  QColor colour;
  double outer = 0;  // horizontal half-width, px
  double tilt = 0;   // degrees
};

struct PlanetLook {
  double radius;
  QColor base;
  std::vector<QColor> detail;  // band, land or crater colours
  Surface surface;
  bool clouds = false;
  QColor glow;  // atmosphere along the lit edge; invalid for none
  Ring ring;
  unsigned seed = 1;
};

// One entry per image, sizes by class: 1-2 smallest, 3, 4-5, 6-12, 13-14 largest.
const std::array<PlanetLook, 14>& Looks() {
  static const std::array<PlanetLook, 14> looks = {{
      {8.0, QColor(196, 84, 52), {QColor(150, 55, 35), QColor(226, 140, 96)}, Surface::Craters,
       false, QColor(255, 160, 120), {}, 11},
      {8.0, QColor(150, 210, 240), {QColor(240, 252, 255), QColor(70, 130, 200)}, Surface::Bands,
       false, QColor(200, 240, 255), {}, 12},
      {9.8, QColor(190, 96, 196), {QColor(100, 36, 140), QColor(246, 176, 236), QColor(140, 60, 170)},
       Surface::Bands, false, QColor(230, 170, 255), {}, 13},
      {11.5, QColor(40, 96, 200), {QColor(70, 150, 60), QColor(150, 140, 80)}, Surface::Continents,
       true, QColor(140, 200, 255), {}, 14},
      {11.5, QColor(222, 150, 60), {QColor(170, 100, 40), QColor(246, 196, 120)}, Surface::Craters,
       false, QColor(255, 210, 140), {}, 15},
      {13.5, QColor(214, 170, 120), {QColor(170, 110, 70), QColor(238, 214, 176), QColor(140, 84, 56)},
       Surface::Bands, false, QColor(255, 226, 190), {}, 16},
      {10.5, QColor(228, 200, 130), {QColor(200, 160, 90), QColor(246, 230, 180)}, Surface::Bands,
       false, QColor(255, 240, 200), {QColor(222, 196, 140), 15.2, -18}, 17},
      {13.5, QColor(24, 70, 170), {QColor(36, 120, 190), QColor(20, 50, 130)}, Surface::Continents,
       true, QColor(120, 190, 255), {}, 18},
      {13.5, QColor(64, 22, 18), {QColor(255, 90, 0), QColor(255, 214, 90)}, Surface::Lava,
       false, QColor(255, 110, 40), {}, 19},
      {13.5, QColor(70, 200, 200), {QColor(110, 226, 220), QColor(40, 150, 170)}, Surface::Bands,
       false, QColor(190, 255, 250), {}, 20},
      {13.5, QColor(150, 150, 156), {QColor(104, 104, 112), QColor(196, 196, 204)}, Surface::Craters,
       false, QColor(), {}, 21},
      {11.0, QColor(122, 86, 210), {QColor(92, 60, 170), QColor(170, 140, 240)}, Surface::Bands,
       false, QColor(200, 180, 255), {QColor(170, 220, 255), 15.4, 24}, 22},
      {15.5, QColor(232, 160, 90), {QColor(196, 106, 60), QColor(250, 220, 170), QColor(164, 80, 46)},
       Surface::Storm, false, QColor(255, 220, 170), {}, 23},
      {15.5, QColor(30, 130, 110), {QColor(90, 170, 70), QColor(200, 190, 120)}, Surface::Continents,
       true, QColor(150, 255, 220), {}, 24},
  }};
  return looks;
}

QPainterPath Disc(double r) {
  QPainterPath path;
  path.addEllipse(QPointF(kCentre, kCentre), r, r);
  return path;
}

// Horizontal belts with gently wavy edges; on a sphere they curve slightly with the
// latitude, which the small sag towards the limb imitates.
void DrawBands(QPainter& p, const PlanetLook& look, Dice& dice) {
  const double r = look.radius;
  double y = kCentre - r;
  std::size_t colour = 0;
  while (y < kCentre + r) {
    const double thickness = dice.Between(0.14, 0.32) * r;
    const double wave = dice.Between(0.02, 0.07) * r;
    const double phase = dice.Between(0, 6.28);
    QPainterPath band;
    const auto edge = [&](double x, double top) {
      const double u = (x - kCentre) / r;
      return top + 0.12 * r * u * u * ((top - kCentre) / r) + wave * std::sin(phase + 3 * u);
    };
    band.moveTo(kCentre - r, edge(kCentre - r, y));
    for (double x = kCentre - r; x <= kCentre + r; x += 0.25) band.lineTo(x, edge(x, y));
    for (double x = kCentre + r; x >= kCentre - r; x -= 0.25) band.lineTo(x, edge(x, y + thickness));
    band.closeSubpath();
    if (dice.Uniform() < 0.72) {
      p.fillPath(band, WithAlpha(look.detail[colour % look.detail.size()], 200));
      ++colour;
    }
    y += thickness;
  }
}

// A blob made of overlapping circles, for land masses and clouds.
QPainterPath Blob(QPointF at, double size, int parts, Dice& dice, double stretch = 1.0) {
  QPainterPath blob;
  blob.setFillRule(Qt::WindingFill);
  for (int i = 0; i < parts; ++i) {
    const QPointF c = at + QPointF(dice.Between(-size, size) * stretch, dice.Between(-size, size) * 0.6);
    const double rr = dice.Between(0.35, 0.75) * size;
    blob.addEllipse(c, rr * stretch, rr);
  }
  return blob.simplified();
}

void DrawContinents(QPainter& p, const PlanetLook& look, Dice& dice) {
  const double r = look.radius;
  const int count = r > 12 ? 4 : 3;
  for (int i = 0; i < count; ++i) {
    const QPointF at(kCentre + dice.Between(-0.7, 0.7) * r, kCentre + dice.Between(-0.6, 0.6) * r);
    const QPainterPath land = Blob(at, dice.Between(0.22, 0.36) * r, 5, dice);
    p.fillPath(land, look.detail[0]);
    // Drier inland: a smaller patch of the second colour inside.
    p.fillPath(Blob(at, 0.12 * r, 3, dice).intersected(land), look.detail[1]);
  }
  // Polar caps.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(240, 246, 255));
  p.drawEllipse(QPointF(kCentre, kCentre - r), 0.55 * r, 0.18 * r);
  p.drawEllipse(QPointF(kCentre, kCentre + r), 0.45 * r, 0.14 * r);
}

void DrawClouds(QPainter& p, const PlanetLook& look, Dice& dice) {
  const double r = look.radius;
  for (int i = 0; i < 5; ++i) {
    const QPointF at(kCentre + dice.Between(-0.8, 0.8) * r, kCentre + dice.Between(-0.75, 0.75) * r);
    p.fillPath(Blob(at, dice.Between(0.08, 0.16) * r, 3, dice, 2.4), QColor(255, 255, 255, 170));
  }
}

void DrawCraters(QPainter& p, const PlanetLook& look, Dice& dice) {
  const double r = look.radius;
  // Darker "seas" first, then craters over them.
  for (int i = 0; i < 2; ++i) {
    const QPointF at(kCentre + dice.Between(-0.5, 0.5) * r, kCentre + dice.Between(-0.5, 0.5) * r);
    p.fillPath(Blob(at, 0.3 * r, 4, dice), WithAlpha(look.detail[0], 120));
  }
  const int count = r > 12 ? 9 : 6;
  for (int i = 0; i < count; ++i) {
    const double a = dice.Between(0, 6.283);
    const double d = std::sqrt(dice.Uniform()) * 0.8 * r;
    const QPointF c(kCentre + d * std::cos(a), kCentre + d * std::sin(a));
    const double size = dice.Between(0.09, 0.2) * r;
    // Foreshortened towards the limb.
    const double squash = std::sqrt(std::max(0.25, 1 - (d * d) / (r * r)));
    p.save();
    p.translate(c);
    p.rotate(a * 180 / 3.14159265);
    p.setPen(Qt::NoPen);
    p.setBrush(WithAlpha(look.detail[1], 210));  // sunlit far wall
    p.drawEllipse(QPointF(0.25 * size * squash, 0), size * squash * 1.05, size * 1.05);
    p.setBrush(WithAlpha(look.detail[0], 230));  // shadowed floor
    p.drawEllipse(QPointF(0, 0), size * squash, size);
    p.restore();
  }
}

void DrawLava(QPainter& p, const PlanetLook& look, Dice& dice) {
  const double r = look.radius;
  // Cooled crust plates separated by glowing seams of molten rock.
  for (int i = 0; i < 14; ++i) {
    QPainterPath seam;
    QPointF at(kCentre + dice.Between(-0.9, 0.9) * r, kCentre + dice.Between(-0.9, 0.9) * r);
    seam.moveTo(at);
    double heading = dice.Between(0, 6.283);
    for (int step = 0; step < 4; ++step) {
      heading += dice.Between(-0.7, 0.7);
      at += QPointF(std::cos(heading), std::sin(heading)) * 0.2 * r;
      seam.lineTo(at);
    }
    p.strokePath(seam, QPen(WithAlpha(look.detail[0], 120), 0.13 * r, Qt::SolidLine, Qt::RoundCap,
                             Qt::RoundJoin));
    p.strokePath(seam, QPen(look.detail[1], 0.035 * r, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  }
}

void DrawStorm(QPainter& p, const PlanetLook& look, Dice& dice) {
  DrawBands(p, look, dice);
  const double r = look.radius;
  const QPointF eye(kCentre + 0.3 * r, kCentre + 0.32 * r);
  p.setPen(QPen(WithAlpha(look.detail[1], 220), 0.06 * r));
  p.setBrush(look.detail[2]);
  p.drawEllipse(eye, 0.28 * r, 0.15 * r);
  p.setPen(Qt::NoPen);
  p.setBrush(WithAlpha(look.detail[0], 230));
  p.drawEllipse(eye, 0.14 * r, 0.07 * r);
}

// Light from the upper left: a soft highlight there, falling off into night on the
// lower right. Applied over the surface detail so that it darkens with the sphere.
void Shade(QPainter& p, double r) {
  QRadialGradient light(QPointF(kCentre, kCentre), 1.25 * r, QPointF(kCentre - 0.45 * r, kCentre - 0.45 * r));
  light.setColorAt(0.0, QColor(255, 255, 255, 120));
  light.setColorAt(0.22, QColor(255, 255, 255, 20));
  light.setColorAt(0.5, QColor(0, 0, 0, 0));
  light.setColorAt(0.8, QColor(0, 0, 0, 120));
  light.setColorAt(1.0, QColor(0, 0, 0, 190));
  p.fillPath(Disc(r), light);
}

void Glow(QPainter& p, double r, const QColor& glow) {
  if (!glow.isValid()) return;
  QRadialGradient rim(QPointF(kCentre + 0.2 * r, kCentre + 0.2 * r), 1.15 * r);
  rim.setColorAt(0.0, QColor(0, 0, 0, 0));
  rim.setColorAt(0.86, QColor(0, 0, 0, 0));
  rim.setColorAt(0.98, WithAlpha(glow, 150));
  rim.setColorAt(1.0, WithAlpha(glow, 0));
  p.fillPath(Disc(r), rim);
}

// The ring as an elliptic band; `front` draws the half that passes before the body.
void DrawRing(QPainter& p, const PlanetLook& look, bool front) {
  const Ring& ring = look.ring;
  if (!ring.colour.isValid()) return;
  p.save();
  p.translate(kCentre, kCentre);
  p.rotate(ring.tilt);
  const double ry = ring.outer * 0.3;
  QPainterPath band;
  band.addEllipse(QPointF(0, 0), ring.outer, ry);
  band.addEllipse(QPointF(0, 0), ring.outer * 0.72, ry * 0.62);
  QPainterPath half;
  half.addRect(QRectF(-20, front ? 0 : -20, 40, 20));
  QLinearGradient shade(-ring.outer, 0, ring.outer, 0);
  shade.setColorAt(0, Mix(ring.colour, Qt::white, 0.35));
  shade.setColorAt(0.6, ring.colour);
  shade.setColorAt(1, Mix(ring.colour, Qt::black, 0.55));
  p.fillPath(band.intersected(half), shade);
  // A dark gap splits the band in two, as rings seen from afar do.
  QPainterPath gap;
  gap.addEllipse(QPointF(0, 0), ring.outer * 0.86, ry * 0.8);
  p.strokePath(gap.intersected(half), QPen(QColor(0, 0, 0, 110), 0.5));
  p.restore();
}

}  // namespace

QImage DrawPlanet(int n, int scale) {
  const PlanetLook& look = Looks().at(static_cast<std::size_t>(n - 1));
  return Supersampled(32, 32, [&look](QPainter& p) {
    Dice dice(look.seed);
    const double r = look.radius;
    DrawRing(p, look, false);
    p.save();
    p.setClipPath(Disc(r));
    p.fillPath(Disc(r), look.base);
    switch (look.surface) {
      case Surface::Plain: break;
      case Surface::Bands: DrawBands(p, look, dice); break;
      case Surface::Continents: DrawContinents(p, look, dice); break;
      case Surface::Craters: DrawCraters(p, look, dice); break;
      case Surface::Lava: DrawLava(p, look, dice); break;
      case Surface::Storm: DrawStorm(p, look, dice); break;
    }
    if (look.clouds) DrawClouds(p, look, dice);
    Shade(p, r);
    Glow(p, r, look.glow);
    p.restore();
    DrawRing(p, look, true);
  }, scale);
}

}  // namespace art
