#include "wave_check.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace sounds {
namespace {

std::uint32_t Le32(const std::vector<std::uint8_t>& b, std::size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

struct Samples {
  std::size_t begin = 0, end = 0;  // the data chunk's payload
  unsigned bytesPerSample = 0;     // 0: no PCM data found
};

// Where the samples of a RIFF/WAVE file lie, and how wide they are.
Samples FindSamples(const std::vector<std::uint8_t>& file) {
  Samples found;
  unsigned bits = 0;
  if (file.size() < 12 || std::memcmp(file.data(), "RIFF", 4) != 0 || std::memcmp(file.data() + 8, "WAVE", 4) != 0)
    return found;
  for (std::size_t at = 12; at + 8 <= file.size();) {
    const std::size_t size = Le32(file, at + 4), payload = at + 8;
    if (size > file.size() - payload) break;
    if (std::memcmp(file.data() + at, "fmt ", 4) == 0 && size >= 16) bits = file[payload + 14] | (file[payload + 15] << 8);
    if (std::memcmp(file.data() + at, "data", 4) == 0) found = {payload, payload + size, 0};
    at = payload + size + size % 2;
  }
  if ((bits == 8 || bits == 16) && found.end > found.begin) found.bytesPerSample = bits / 8;
  return found;
}

int Sample(const std::vector<std::uint8_t>& b, std::size_t at, unsigned width) {
  if (width == 1) return b[at];
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8)));
}

}  // namespace

WaveDifference CompareWaves(const std::vector<std::uint8_t>& made, const std::vector<std::uint8_t>& stored) {
  WaveDifference d;
  if (made.size() != stored.size()) return d;
  const Samples s = FindSamples(made);
  const std::size_t width = std::max(1u, s.bytesPerSample);
  const std::size_t begin = s.bytesPerSample ? s.begin : made.size();
  const std::size_t end = s.bytesPerSample ? s.begin + (s.end - s.begin) / width * width : made.size();
  d.sameLayout = std::equal(made.begin(), made.begin() + static_cast<std::ptrdiff_t>(begin), stored.begin()) &&
                 std::equal(made.begin() + static_cast<std::ptrdiff_t>(end), made.end(),
                            stored.begin() + static_cast<std::ptrdiff_t>(end));
  for (std::size_t at = begin; at < end; at += width) {
    ++d.total;
    const int delta = std::abs(Sample(made, at, s.bytesPerSample) - Sample(stored, at, s.bytesPerSample));
    if (delta == 0) continue;
    ++d.samples;
    d.largest = std::max(d.largest, delta);
  }
  return d;
}

bool IsNoise(const WaveDifference& d) {
  return d.sameLayout && d.largest <= 1 && d.samples <= std::max<std::size_t>(2, d.total / 1000);
}

}  // namespace sounds
