#include "platform/random.h"

#include <bit>

namespace zbx {

std::uint64_t MixingRandom::Next() {  // splitmix64
  std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

void MixingRandom::Randomize(double seed) {
  state_ ^= std::bit_cast<std::uint64_t>(seed);
  state_ = Next();
}

double MixingRandom::Rnd() { return static_cast<double>(Next() >> 11) * 0x1.0p-53; }

}  // namespace zbx
