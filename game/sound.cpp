#include "game/sound.h"

#include <memory>
#include <vector>

namespace zbx {

void PlaySoundResource(Game& g, std::int16_t id) {
  std::vector<std::uint8_t> resource = g.platform.LoadResource("WAV", id);
  auto buffer = std::make_shared<const std::vector<std::uint8_t>>(resource.begin(), resource.end());
  g.platform.PlayWave(buffer);
  // The previous buffer goes only now, after the player has switched to the new one.
  g.currentSound = std::move(buffer);
}

}  // namespace zbx
