#include "game/random_between.h"

#include <algorithm>
#include <cmath>

namespace zbx {

std::int16_t RandomBetween(Game& g, std::int16_t low, std::int16_t high) {
  g.platform.Randomize(g.platform.TimeOfDay());
  const double r = g.platform.Rnd();
  const double v = std::floor((static_cast<double>(high) - low + 1) * r + low);
  // A source that strays out of [0, 1) must not push the result out of range.
  return static_cast<std::int16_t>(std::clamp(v, static_cast<double>(low), static_cast<double>(high)));
}

}  // namespace zbx
