#include "flow/steering.h"

#include "platform/rounding.h"
#include "window/hover.h"

namespace zbx {
namespace {

// The rightmost left edge that keeps the basket inside the window.
double RightLimit(const Game& g) { return g.form.ScaleWidth() - g.form.picBasket.Width(); }

}  // namespace

void SteerLeft(Game& g) {
  auto& basket = g.form.picBasket;
  std::int16_t left = RoundTo<std::int16_t>(basket.Left() - basket.Width() / 2);
  if (left <= 0) left = 0;
  basket.SetLeft(left);
}

void SteerRight(Game& g) {
  auto& basket = g.form.picBasket;
  std::int16_t left = RoundTo<std::int16_t>(basket.Left() + basket.Width() / 2);
  if (RightLimit(g) <= left) left = RoundTo<std::int16_t>(RightLimit(g));
  basket.SetLeft(left);
}

void SteerToPointer(Game& g, float x) {
  auto& basket = g.form.picBasket;
  std::int16_t left = RoundTo<std::int16_t>(x - basket.Width() / 2);
  if (RightLimit(g) <= left) left = RoundTo<std::int16_t>(RightLimit(g));
  if (left <= 0) left = 0;  // after the right-hand limit, so a narrow window pins it left
  basket.SetLeft(left);
}

void Form_MouseMove(Game& g, std::int16_t /*button*/, std::int16_t /*shift*/, float x,
                    float /*y*/) {
  ResetHover(g.form);
  if (g.s.ControlMode == kMouseControl && g.s.GameRunning == kTrue && g.s.Paused != kTrue)
    SteerToPointer(g, x);
}

}  // namespace zbx
