#include "game/engine_events.h"

#include "game/cheats.h"
#include "game/tick.h"

namespace zbx {

void BindEngineEvents(Game& g) {
  g.form.timCounter.Tick = [&g] { timCounter_Timer(g); };
  g.form.txtCheat.on.KeyDown = [&g](std::int16_t& keyCode, std::int16_t& shift) {
    txtCheat_KeyDown(g, keyCode, shift);
  };
}

}  // namespace zbx
