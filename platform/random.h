#pragma once
// The game's pseudo-random source. Randomize mixes a seed into the running state
// instead of restarting the sequence, so several draws re-seeded from the same clock
// reading stay independent of each other.
#include <cstdint>

namespace zbx {

class MixingRandom {
 public:
  explicit MixingRandom(std::uint64_t state = 0x9E3779B97F4A7C15ULL) : state_(state) {}
  void Randomize(double seed);
  // Uniform in [0, 1).
  double Rnd();

 private:
  std::uint64_t Next();
  std::uint64_t state_;
};

}  // namespace zbx
