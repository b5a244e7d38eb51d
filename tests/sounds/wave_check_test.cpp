// The sounds' check: a sample a level off now and then (the C library's last bit on
// another CPU) passes; any other change of a wave file does not; and gen-sounds --check
// says which file differs.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "tools/gen-sounds/wave_check.h"

namespace sounds {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}
Bytes Asset(const char* name) { return Read(std::string(ZBX_ASSETS_DIR "/") + name); }
void Write(const std::string& path, const Bytes& bytes) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Where a chunk's payload starts in a committed file (the files are small and well formed).
std::size_t Payload(const Bytes& file, const std::string& id) {
  for (std::size_t at = 12; at + 8 <= file.size();) {
    const std::size_t size = file[at + 4] | (file[at + 5] << 8) | (file[at + 6] << 16);
    if (std::string(file.begin() + static_cast<std::ptrdiff_t>(at), file.begin() + static_cast<std::ptrdiff_t>(at) + 4) == id)
      return at + 8;
    at += 8 + size + size % 2;
  }
  ADD_FAILURE() << "no chunk " << id;
  return 0;
}
// Adds `by` to the 16-bit sample at index i of sound1 (carrying into the high byte).
Bytes Sound1Sample(Bytes file, std::size_t i, int by) {
  const std::size_t at = Payload(file, "data") + 2 * i;
  const auto v = static_cast<std::uint16_t>((file[at] | (file[at + 1] << 8)) + by);
  file[at] = static_cast<std::uint8_t>(v & 0xFF);
  file[at + 1] = static_cast<std::uint8_t>(v >> 8);
  return file;
}

struct Case {
  const char* what;
  const char* file;  // as the generator makes it, and as stored: changed by `change`
  std::function<Bytes(Bytes)> change;
  bool passes;
};

TEST(WaveCheck, LibraryNoisePassesARealChangeDoesNot) {
  const auto at = [](const char* id, std::size_t offset, int by) {
    return [id, offset, by](Bytes b) {
      b[Payload(b, id) + offset] = static_cast<std::uint8_t>(b[Payload(b, id) + offset] + by);
      return b;
    };
  };
  const Bytes sound1 = Asset("sound1.wav");
  // A 16-bit sample whose low byte is 0 or 255, so that one level carries into the high byte.
  std::size_t carry = 0;
  while (sound1[Payload(sound1, "data") + 2 * carry] != 0 && sound1[Payload(sound1, "data") + 2 * carry] != 255) ++carry;
  const Case cases[] = {
      {"the files as they are", "sound1.wav", [](Bytes b) { return b; }, true},
      {"two 8-bit samples a level off", "sound3.wav",
       [&at](Bytes b) { return at("data", 9, 1)(at("data", 7000, -1)(b)); }, true},
      {"a 16-bit sample a level off across its bytes", "sound1.wav",
       [carry](Bytes b) { return Sound1Sample(b, carry, b[Payload(b, "data") + 2 * carry] == 255 ? 1 : -1); }, true},
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
      {"a missing file", "sound1.wav", [](Bytes) { return Bytes(); }, false},
  };
  for (const Case& c : cases) {
    const WaveDifference d = CompareWaves(Asset(c.file), c.change(Asset(c.file)));
    EXPECT_EQ(IsNoise(d), c.passes) << c.what << ": layout " << d.sameLayout << ", " << d.samples << " samples, up to "
                                    << d.largest;
  }
}

// The tool over a copy of the sounds: status 0 with a sample a level off, 1 with a real change.
TEST(WaveCheck, ToolFailsOnAChangedFile) {
  std::string dir = (std::filesystem::temp_directory_path() / "zbx-sounds-XXXXXX").string();
  ASSERT_NE(mkdtemp(dir.data()), nullptr);
  for (const char* name : {"sound1.wav", "sound2.wav", "sound3.wav"}) Write(dir + "/" + name, Asset(name));
  const auto check = [&dir] {
    const std::string command = std::string("'" ZBX_BIN_DIR "/gen-sounds' --check '") + dir + "' 2>/dev/null";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  };
  EXPECT_EQ(check(), 0);
  Bytes sound2 = Asset("sound2.wav");
  sound2[Payload(sound2, "data") + 100] += 1;
  Write(dir + "/sound2.wav", sound2);
  EXPECT_EQ(check(), 0);
  sound2[Payload(sound2, "data") + 200] += 3;
  Write(dir + "/sound2.wav", sound2);
  EXPECT_EQ(check(), 1);
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace sounds
