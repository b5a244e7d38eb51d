// Random but legal play of the whole program, from fixed seeds, with the rules that
// must hold whatever the player does checked after every step (tests/support/
// random_play.h). ZBX_RANDOM_PLAY_SEQUENCES=n plays n sequences instead, from a seed
// taken from ZBX_RANDOM_PLAY_FIRST_SEED (default 1), for a long hunt.
#include <gtest/gtest.h>

#include <cstdlib>

#include "support/random_play.h"

namespace zbx::test {
namespace {

std::uint64_t FromEnvironment(const char* name, std::uint64_t fallback) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0' ? std::strtoull(value, nullptr, 10) : fallback;
}

TEST(RandomPlay, NoSequenceBreaksARule) {
  const std::uint64_t first = FromEnvironment("ZBX_RANDOM_PLAY_FIRST_SEED", 1);
  const std::uint64_t count = FromEnvironment("ZBX_RANDOM_PLAY_SEQUENCES", 600);
  for (std::uint64_t seed = first; seed < first + count; ++seed) {
    const std::string broken = play::Play(play::DrawSequence(seed, 120));
    ASSERT_EQ(broken, "") << "seed " << seed;
  }
}

}  // namespace
}  // namespace zbx::test
