// The sounds' check: a sample a level off now and then (the C library's last bit on
// another CPU) passes; any other change of a wave file does not.
#include "tools/gen-sounds/wave_check.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

namespace sounds {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Asset(const char* name) {
  std::ifstream in(std::string(ZBX_ASSETS_DIR "/") + name, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}
// Where a chunk's payload starts in a committed file (the files are small and well formed).
std::size_t Payload(const Bytes& file, const char* id) {
  for (std::size_t at = 12; at + 8 <= file.size();) {
    const std::size_t size = file[at + 4] | (file[at + 5] << 8) | (file[at + 6] << 16);
    if (std::memcmp(file.data() + at, id, 4) == 0) return at + 8;
    at += 8 + size + size % 2;
  }
  ADD_FAILURE() << "no chunk " << id;
  return 0;
}

TEST(WaveCheck, LibraryNoisePassesARealChangeDoesNot) {
  // Adds `by` to a byte of a chunk's payload.
  const auto at = [](const char* id, std::size_t offset, int by) {
    return [id, offset, by](Bytes b) {
      b[Payload(b, id) + offset] = static_cast<std::uint8_t>(b[Payload(b, id) + offset] + by);
      return b;
    };
  };
  const Bytes sound1 = Asset("sound1.wav");
  // A 16-bit sample whose low byte is 0 or 255, so that one level carries into the high byte.
  std::size_t carry = Payload(sound1, "data");
  while (sound1[carry] != 0 && sound1[carry] != 255) carry += 2;
  const struct {
    const char* what;
    const char* file;  // as the generator makes it, and as stored: changed by `change`
    std::function<Bytes(Bytes)> change;
    bool passes;
  } cases[] = {
      {"two 8-bit samples a level off", "sound3.wav",
       [&at](Bytes b) { return at("data", 9, 1)(at("data", 7000, -1)(b)); }, true},
      {"a 16-bit sample a level off across its bytes", "sound1.wav",
       [carry](Bytes b) {
         const int by = b[carry] == 255 ? 1 : -1;
         b[carry] = static_cast<std::uint8_t>(b[carry] + by);
         b[carry + 1] = static_cast<std::uint8_t>(b[carry + 1] + by);
         return b;
       },
       true},
      {"an 8-bit sample two levels up", "sound2.wav", at("data", 5000, 2), false},
      {"a 16-bit sample 256 levels up", "sound1.wav", at("data", 201, 1), false},
      {"one 8-bit sample in a hundred a level up", "sound2.wav",
       [&at](Bytes b) {
         for (std::size_t i = 0; i < 28000; i += 100) b = at("data", i, 1)(b);
         return b;
       },
       false},
      {"another sample rate", "sound2.wav", at("fmt ", 4, 1), false},
      {"a pixel of the picture", "sound1.wav", at("DISP", 4 + 40 + 4 * 51 + 800, 1), false},
      {"a cut file", "sound1.wav", [](Bytes b) { return Bytes(b.begin(), b.end() - 2); }, false},
  };
  for (const auto& c : cases) {
    const WaveDifference d = CompareWaves(Asset(c.file), c.change(Asset(c.file)));
    EXPECT_EQ(IsNoise(d), c.passes) << c.what << ": layout " << d.sameLayout << ", " << d.samples << " samples, up to "
                                    << d.largest;
  }
}

}  // namespace
}  // namespace sounds
