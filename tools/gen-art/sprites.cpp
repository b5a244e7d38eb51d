#include "sprites.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QPolygonF>
#include <QRadialGradient>
#include <cmath>

#include "canvas.h"

namespace art {
namespace {

constexpr double kPi = 3.14159265358979;

// A star of `points` spikes whose tips vary in length, for the layers of the burst.
QPainterPath Burst(QPointF c, double inner, double outer, int points, Dice& dice, double turn) {
  QPainterPath star;
  for (int i = 0; i < points * 2; ++i) {
    const double a = turn + i * kPi / points;
    const double r = (i % 2 == 0) ? outer * dice.Between(0.7, 1.0) : inner * dice.Between(0.85, 1.1);
    const QPointF at = c + QPointF(std::cos(a) * r, std::sin(a) * r);
    if (i == 0) star.moveTo(at);
    else star.lineTo(at);
  }
  star.closeSubpath();
  return star;
}

void FillBurst(QPainter& p, const QPainterPath& star, QPointF c, double radius, const QColor& core,
               const QColor& edge) {
  QRadialGradient fire(c, radius);
  fire.setColorAt(0.0, core);
  fire.setColorAt(1.0, edge);
  p.fillPath(star, fire);
}

void PanelWing(QPainter& p, const QRectF& wing) {
  QLinearGradient metal(wing.topLeft(), wing.bottomRight());
  metal.setColorAt(0, QColor(150, 160, 176));
  metal.setColorAt(1, QColor(70, 76, 92));
  p.setPen(QPen(QColor(40, 42, 50), 0.5));
  p.setBrush(metal);
  p.drawRect(wing);
  // Cells of the solar panel.
  p.setPen(QPen(QColor(40, 44, 56, 200), 0.35));
  for (double x = wing.left() + wing.width() / 3; x < wing.right() - 0.1; x += wing.width() / 3)
    p.drawLine(QPointF(x, wing.top()), QPointF(x, wing.bottom()));
  p.drawLine(QPointF(wing.left(), wing.center().y()), QPointF(wing.right(), wing.center().y()));
}

void Antenna(QPainter& p, QPointF from, QPointF to) {
  p.setPen(QPen(QColor(200, 200, 206), 0.7, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(from, to);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(235, 235, 240));
  p.drawEllipse(to, 1.1, 1.1);
}

}  // namespace

QImage DrawExplosion(int scale) {
  return Supersampled(32, 32, [](QPainter& p) {
    Dice dice(1515);
    const QPointF c(16, 16);
    // A dull red haze, then ever hotter layers of fire towards the centre.
    QRadialGradient haze(c, 15.5);
    haze.setColorAt(0.0, QColor(255, 120, 0, 200));
    haze.setColorAt(0.6, QColor(200, 30, 0, 110));
    haze.setColorAt(1.0, QColor(120, 0, 0, 0));
    p.fillRect(QRectF(0, 0, 32, 32), haze);
    FillBurst(p, Burst(c, 7.5, 15.8, 11, dice, 0.2), c, 15.8, QColor(255, 80, 0), QColor(190, 0, 0));
    FillBurst(p, Burst(c, 6.0, 12.0, 9, dice, 0.55), c, 12.0, QColor(255, 200, 30), QColor(240, 60, 0));
    FillBurst(p, Burst(c, 4.0, 8.0, 7, dice, 0.1), c, 8.0, QColor(255, 255, 200), QColor(255, 200, 0));
    QRadialGradient core(c, 4.2);
    core.setColorAt(0, QColor(255, 255, 255));
    core.setColorAt(1, QColor(255, 250, 160, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(core);
    p.drawEllipse(c, 4.2, 4.2);
    // Flying sparks.
    for (int i = 0; i < 9; ++i) {
      const double a = dice.Between(0, 2 * kPi);
      const double d = dice.Between(11.5, 15.0);
      p.setBrush(i % 2 ? QColor(255, 230, 90) : QColor(255, 120, 20));
      p.drawEllipse(c + QPointF(std::cos(a) * d, std::sin(a) * d), 0.7, 0.7);
    }
  }, scale);
}

QImage DrawSatellite(int scale) {
  return Supersampled(32, 32, [](QPainter& p) {
    p.translate(16, 16);
    p.rotate(-24);
    PanelWing(p, QRectF(-15, -3.2, 9, 6.4));
    PanelWing(p, QRectF(6, -3.2, 9, 6.4));
    // Struts joining the wings to the body.
    p.setPen(QPen(QColor(120, 120, 128), 0.9));
    p.drawLine(QPointF(-6, 0), QPointF(-4, 0));
    p.drawLine(QPointF(4, 0), QPointF(6, 0));
    // The body: a brushed-metal box.
    QLinearGradient body(QPointF(-4, -5), QPointF(4, 5));
    body.setColorAt(0, QColor(235, 235, 240));
    body.setColorAt(0.5, QColor(168, 170, 178));
    body.setColorAt(1, QColor(88, 90, 100));
    p.setPen(QPen(QColor(50, 50, 58), 0.5));
    p.setBrush(body);
    p.drawRoundedRect(QRectF(-4, -5, 8, 10), 1.2, 1.2);
    p.setPen(QPen(QColor(110, 112, 120), 0.4));
    p.drawLine(QPointF(-4, -1.5), QPointF(4, -1.5));
    p.drawLine(QPointF(-4, 2), QPointF(4, 2));
    // The dish on top, facing up and to the left.
    QRadialGradient dish(QPointF(-0.8, -8.2), 3.5);
    dish.setColorAt(0, QColor(245, 245, 250));
    dish.setColorAt(1, QColor(120, 122, 130));
    p.setBrush(dish);
    p.setPen(QPen(QColor(60, 60, 68), 0.4));
    p.drawChord(QRectF(-3.6, -10.4, 7.2, 5.0), 180 * 16, 180 * 16);
    p.drawLine(QPointF(0, -5.2), QPointF(0, -7.9));
    // Antennas with little balls on their tips.
    Antenna(p, QPointF(-2.5, 5), QPointF(-6, 12.5));
    Antenna(p, QPointF(2.5, 5), QPointF(6.5, 12));
    Antenna(p, QPointF(0, -10.2), QPointF(0, -14.2));
    // A red beacon light.
    p.setBrush(QColor(255, 40, 40));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(2.2, -3.2), 0.8, 0.8);
  }, scale);
}

QImage DrawBasket(int scale) {
  constexpr double w = kBasketWidth, h = kBasketHeight, mid = w / 2;
  return Supersampled(kBasketWidth, kBasketHeight, [](QPainter& p) {
    // The bowl hangs from the rim: a deep half-ellipse.
    QPainterPath bowl;
    bowl.moveTo(2.5, 4.5);
    bowl.cubicTo(5, 24, 18, h - 0.6, mid, h - 0.6);
    bowl.cubicTo(w - 18, h - 0.6, w - 5, 24, w - 2.5, 4.5);
    bowl.closeSubpath();
    QLinearGradient net(0, 4, 0, h);
    net.setColorAt(0, QColor(34, 36, 52, 235));
    net.setColorAt(1, QColor(12, 12, 22, 245));
    p.fillPath(bowl, net);
    // The gold mesh: two sets of strands crossing diagonally, shaded towards the sides.
    p.save();
    p.setClipPath(bowl);
    QLinearGradient gold(0, 0, w, 0);
    gold.setColorAt(0.0, QColor(150, 104, 20));
    gold.setColorAt(0.35, QColor(255, 214, 90));
    gold.setColorAt(0.6, QColor(226, 170, 40));
    gold.setColorAt(1.0, QColor(120, 80, 14));
    // Strands bend with the bowl: diamonds narrow towards the bottom, as a net does.
    p.setPen(QPen(QBrush(gold), 0.7));
    for (double x = -34; x < w + 35; x += 7.5) {
      QPainterPath down, up;
      down.moveTo(x, 4);
      down.quadTo(x + 9, 20, x + 22, h);
      up.moveTo(w - x, 4);
      up.quadTo(w - x - 9, 20, w - x - 22, h);
      p.drawPath(down);
      p.drawPath(up);
    }
    // Depth: the sides and the bottom of the bowl fall into shadow.
    QRadialGradient depth(QPointF(mid - 2.5, 8), mid + 5.5);
    depth.setColorAt(0.0, QColor(0, 0, 0, 0));
    depth.setColorAt(0.55, QColor(0, 0, 0, 30));
    depth.setColorAt(1.0, QColor(0, 0, 0, 170));
    p.fillRect(QRectF(0, 0, w, h), depth);
    p.restore();
    p.strokePath(bowl, QPen(QBrush(gold), 1.1));
    // The red rim: a rounded tube with a highlight along its top.
    const QRectF rim(0.6, 1.2, w - 1.2, 5.6);
    QLinearGradient tube(0, rim.top(), 0, rim.bottom());
    tube.setColorAt(0.0, QColor(255, 150, 140));
    tube.setColorAt(0.3, QColor(235, 30, 30));
    tube.setColorAt(0.75, QColor(160, 0, 0));
    tube.setColorAt(1.0, QColor(90, 0, 0));
    p.setPen(QPen(QColor(70, 0, 0), 0.5));
    p.setBrush(tube);
    p.drawRoundedRect(rim, 2.8, 2.8);
  }, scale);
}

QImage DrawPointer() {
  // Drawn pixel by pixel (no smoothing): a cursor mask has no half-covered pixels.
  QImage outline(32, 32, QImage::Format_ARGB32);
  outline.fill(Qt::transparent);
  {
    QPainter p(&outline);
    p.setPen(QPen(Qt::white, 1));
    const QPolygon dart({QPoint(0, 21), QPoint(20, 12), QPoint(13, 21), QPoint(20, 30)});
    p.drawPolygon(dart);
  }
  // Black halo: every transparent pixel next to the outline.
  QImage pointer = outline;
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) {
      if (qAlpha(outline.pixel(x, y)) != 0) continue;
      bool touches = false;
      for (int dy = -1; dy <= 1 && !touches; ++dy)
        for (int dx = -1; dx <= 1 && !touches; ++dx) {
          const int nx = x + dx, ny = y + dy;
          touches = nx >= 0 && ny >= 0 && nx < 32 && ny < 32 && qAlpha(outline.pixel(nx, ny)) != 0;
        }
      if (touches) pointer.setPixel(x, y, qRgba(0, 0, 0, 255));
    }
  }
  return pointer;
}

QImage DrawInvisible() {
  QImage empty(32, 32, QImage::Format_ARGB32);
  empty.fill(Qt::transparent);
  return empty;
}

QImage DrawIcon(int size, int scale) {
  return Supersampled(size, size, [size](QPainter& p) {
    p.scale(size / 64.0, size / 64.0);  // designed on a 64-unit grid
    p.translate(0, 4);
    // Glow of the engines under the craft.
    QRadialGradient beam(QPointF(32, 46), 12);
    beam.setColorAt(0, QColor(255, 240, 140, 170));
    beam.setColorAt(1, QColor(255, 200, 0, 0));
    p.fillRect(QRectF(14, 34, 36, 26), beam);
    // Glass dome.
    QRadialGradient glass(QPointF(27, 18), 16);
    glass.setColorAt(0, QColor(230, 250, 255));
    glass.setColorAt(0.5, QColor(110, 200, 255));
    glass.setColorAt(1, QColor(20, 70, 150));
    p.setPen(QPen(QColor(20, 40, 80), 1.2));
    p.setBrush(glass);
    p.drawChord(QRectF(17, 10, 30, 30), 0, 180 * 16);
    // Saucer hull, yellow metal lit from above.
    QLinearGradient hull(0, 22, 0, 42);
    hull.setColorAt(0.0, QColor(255, 250, 170));
    hull.setColorAt(0.35, QColor(255, 220, 30));
    hull.setColorAt(0.7, QColor(220, 150, 0));
    hull.setColorAt(1.0, QColor(130, 80, 0));
    p.setPen(QPen(QColor(90, 55, 0), 1.4));
    p.setBrush(hull);
    p.drawEllipse(QRectF(2, 22, 60, 19));
    // Belly.
    QLinearGradient belly(0, 34, 0, 46);
    belly.setColorAt(0, QColor(230, 170, 10));
    belly.setColorAt(1, QColor(110, 65, 0));
    p.setBrush(belly);
    p.drawChord(QRectF(16, 30, 32, 16), 180 * 16, 180 * 16);
    // Lights around the rim.
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 5; ++i) {
      const double x = 12 + i * 10;
      p.setBrush(i % 2 ? QColor(255, 60, 40) : QColor(255, 255, 255));
      p.drawEllipse(QPointF(x, 33 - (i == 0 || i == 4 ? 1.2 : 0)), 2.2, 2.2);
    }
  }, scale);
}

}  // namespace art
