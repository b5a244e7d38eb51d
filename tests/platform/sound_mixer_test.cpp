// The mixer's conversion of wave samples to its own stream: every format the wave reader
// accepts comes out as mono 16-bit samples at the mixer's rate.
#include "platform/sound_mixer.h"

#include <gtest/gtest.h>

namespace zbx {
namespace {

using Samples = std::vector<std::int16_t>;

TEST(SoundMixer, ConvertsEachFormatToMonoSixteenBitAtItsRate) {
  struct Case {
    const char* what;
    WaveFormat format;
    std::vector<std::uint8_t> pcm;
    Samples expected;
  };
  constexpr std::uint32_t r = SoundMixer::kRate;
  const Case cases[] = {
      {"8-bit: 128 is silence", {1, r, 8, 1}, {128, 255, 0}, {0, 127 * 256, -128 * 256}},
      {"16-bit little-endian", {1, r, 16, 2}, {0x34, 0x12, 0xFF, 0xFF}, {0x1234, -1}},
      {"stereo: channels averaged", {2, r, 16, 4}, {0x10, 0, 0x30, 0, 0xF0, 0xFF, 0x10, 0}, {0x20, 0}},
      {"a quarter of the rate: interpolated", {1, r / 4, 16, 2}, {0, 0, 0x90, 0x01},
       {0, 100, 200, 300, 400, 400, 400, 400}},
      {"a frame cut short is left out", {1, r, 16, 2}, {0x01, 0x00, 0x02}, {1}},
      {"no channels: nothing", {0, r, 16, 0}, {1, 2, 3, 4}, {}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(SoundMixer::Convert(WaveImage{c.format, c.pcm}), c.expected) << c.what;

  const std::vector<std::uint8_t> long_pcm(std::size_t{1000} * 120, 128);  // 120 s at 1000 Hz
  EXPECT_EQ(SoundMixer::Convert(WaveImage{{1, 1000, 8, 1}, long_pcm}).size(), SoundMixer::kMaxFrames);
}

TEST(SoundMixer, RendersWholeFramesUntilTheTrailingSilenceIsOut) {
  SoundMixer mixer;
  char odd[3];
  EXPECT_EQ(mixer.Render(odd), 0u);  // nothing started: nothing to write
  mixer.Start(Samples(10, 0x0102));
  EXPECT_EQ(mixer.Render(odd), 2u);
  EXPECT_EQ(odd[0], 0x02);
  EXPECT_EQ(odd[1], 0x01);
  std::vector<char> rest(1 << 20);
  const std::size_t n = mixer.Render(rest);
  EXPECT_EQ(n, 2u * (9 + SoundMixer::kFadeFrames + SoundMixer::kTrailingFrames));
  EXPECT_TRUE(mixer.Finished());
  mixer.Start(Samples(10, 5));
  mixer.Start(Samples(10, 6));  // the first fades beside the second
  mixer.Clear();
  EXPECT_TRUE(mixer.Finished());
}

}  // namespace
}  // namespace zbx
