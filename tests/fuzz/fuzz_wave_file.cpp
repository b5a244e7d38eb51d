// libFuzzer target for the wave file parser. Seed it with the sounds in assets/ and use
// the chunk names of fuzz_wave_file.dict:
//   fuzz_wave_file -dict=tests/fuzz/fuzz_wave_file.dict CORPUS assets/
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "platform/wave_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto image = zbx::ParseWave({data, size});
  if (!image) return 0;
  const auto& f = image->format;
  const auto* pcm = image->pcm.data();
  // What a player relies on: a sane format and whole frames lying inside the input.
  const bool valid = f.channels >= 1 && (f.bits_per_sample == 8 || f.bits_per_sample == 16) &&
                     f.block_align == f.channels * f.bits_per_sample / 8 && image->pcm.size() % f.block_align == 0 &&
                     (image->pcm.empty() || (pcm >= data && pcm + image->pcm.size() <= data + size));
  if (!valid) std::abort();
  return 0;
}
