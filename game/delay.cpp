#include "game/delay.h"

#include "platform/rounding.h"

namespace zbx {

void Delay(Game& g, std::int16_t milliseconds) {
  Platform& p = g.platform;
  p.DoEvents();
  const double start = p.TimeOfDay();
  const double target = RoundHalfEven(start + milliseconds / 1000.0);
  for (;;) {
    const double now = p.TimeOfDay();
    if (RoundHalfEven(now) >= target) return;
    if (now < start) return;  // past midnight: the target can no longer be reached
    p.SleepBriefly();
  }
}

}  // namespace zbx
