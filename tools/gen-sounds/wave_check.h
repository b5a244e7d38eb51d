#pragma once
// Whether a committed wave file is the one the generator makes. The samples come from the
// C library's sin, exp, pow and tanh, whose last bit may differ from one CPU to another
// (glibc picks FMA variants by CPU); rounded to 8 or 16 bits, such a difference moves a
// sample by one level at most, and only once in a long while. Everything else of the file
// (its chunks, the format, the picture and the texts) must be the same byte for byte.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace sounds {

struct WaveDifference {
  bool sameLayout = false;  // same size and the same bytes outside the samples
  std::size_t samples = 0;  // samples that differ
  int largest = 0;          // the largest difference of a sample, in levels
  std::size_t total = 0;    // samples compared
};

// `made` is the generator's file (RIFF/WAVE, PCM, 8 or 16 bits); `stored` any bytes.
WaveDifference CompareWaves(const std::vector<std::uint8_t>& made, const std::vector<std::uint8_t>& stored);

// Library noise: the same layout, no sample off by more than one level, and at most one
// sample in a thousand touched (at least two).
bool IsNoise(const WaveDifference& d);

}  // namespace sounds
