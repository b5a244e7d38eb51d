#include "platform/wave_file.h"
#include "platform/sound_mixer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zbx {
namespace {

using Bytes = std::vector<std::uint8_t>;

void Put(Bytes& b, std::uint32_t v, int size) {
  for (int i = 0; i < size; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
Bytes Poked(Bytes b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
  return b;
}

// A RIFF/WAVE image from the given chunks (id, payload), each padded to an even size.
Bytes Riff(const std::vector<std::pair<std::string_view, Bytes>>& chunks) {
  Bytes b = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'};
  for (const auto& [id, payload] : chunks) {
    b.insert(b.end(), id.begin(), id.end());
    Put(b, static_cast<std::uint32_t>(payload.size()), 4);
    b.insert(b.end(), payload.begin(), payload.end());
    if (payload.size() % 2) b.push_back(0);
  }
  return Poked(b, 4, static_cast<std::uint32_t>(b.size() - 8));
}

Bytes Fmt(std::uint16_t channels = 1, std::uint32_t rate = 22050, std::uint16_t bits = 8,
          std::uint16_t align = 0, std::uint16_t tag = 1) {
  if (align == 0) align = static_cast<std::uint16_t>(channels * bits / 8);
  Bytes f;
  for (auto [v, size] : {std::pair<std::uint32_t, int>{tag, 2}, {channels, 2}, {rate, 4}, {rate * align, 4},
                         {align, 2}, {bits, 2}})
    Put(f, v, size);
  return f;
}

const Bytes kSamples = {0x80, 0x90, 0xA0, 0x90, 0x80, 0x70};

// Parses a copy of exactly the given bytes, so that a read past the end is caught by the
// address sanitizer instead of landing in the rest of a larger buffer; gives the format
// and the samples.
std::optional<std::pair<WaveFormat, Bytes>> ParseExact(std::span<const std::uint8_t> bytes) {
  const Bytes copy(bytes.begin(), bytes.end());
  const auto image = ParseWave(copy);
  if (!image) return std::nullopt;
  return std::pair{image->format, Bytes(image->pcm.begin(), image->pcm.end())};
}

// The real sounds parse with their exact format; cut short anywhere they are refused,
// except where the cut falls exactly behind a whole chunk after `data`.
TEST(WaveFileTest, TheSoundsParseAndEveryTruncationIsRefusedUnlessItEndsOnAWholeChunk) {
  const struct {
    const char* name;
    std::uint32_t rate, bits;
    std::ptrdiff_t dataOffset, dataSize;
    std::vector<std::size_t> wholePrefixes;
  } assets[] = {{"sound1.wav", 22050, 16, 46, 1028, {1074, 2930}},
                {"sound2.wav", 22050, 8, 44, 28202, {}}};
  for (const auto& a : assets) {
    std::ifstream in(std::string(ZBX_ASSETS_DIR) + "/" + a.name, std::ios::binary);
    const Bytes file{std::istreambuf_iterator<char>(in), {}};
    const auto image = ParseExact(file);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->first.sample_rate, a.rate);
    EXPECT_EQ(image->first.bits_per_sample, a.bits);
    EXPECT_EQ(image->second, Bytes(file.begin() + a.dataOffset, file.begin() + a.dataOffset + a.dataSize));
    for (std::size_t len = 0; len < file.size(); ++len) {
      const auto cut = ParseExact(std::span(file).first(len));
      const bool whole = std::count(a.wholePrefixes.begin(), a.wholePrefixes.end(), len) > 0;
      ASSERT_EQ(cut.has_value(), whole) << "length " << len;
    }
  }
}

TEST(WaveFileTest, AcceptsOddChunksAnyOrderAndLooseRiffSizesAndRefusesTheRest) {
  const Bytes odd = {1, 2, 3, 4, 5, 6, 7};
  const Bytes good = Riff({{"fmt ", Fmt()}, {"junk", {1, 2, 3}}, {"data", kSamples}});
  const struct {
    Bytes wave, samples;
    std::uint32_t rate = 22050;
  } cases[] = {
      {good, kSamples},
      {Riff({{"data", odd}, {"fmt ", Fmt()}}), odd},
      {Poked(good, 4, 0xFFFFFFFF), kSamples},                               // clamped RIFF size
      // Cut to whole frames; the first of repeated chunks counts.
      {Riff({{"fmt ", Fmt(2, 44100, 16)}, {"data", odd}, {"fmt ", Fmt()}, {"data", {9, 9}}}), {1, 2, 3, 4}, 44100},
      {Riff({{"fmt ", Fmt(8, 192000, 16)}, {"data", kSamples}}), {}, 192000},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(&c - cases);
    const auto image = ParseExact(c.wave);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->second, c.samples);
    EXPECT_EQ(image->first.sample_rate, c.rate);
  }
  std::vector<Bytes> bad;
  // The size fields of "fmt " (at 16), "junk" (40) and "data" (52) reaching beyond the end.
  for (std::size_t at : {16u, 40u, 52u})
    for (std::uint32_t size : {0xFFFFFFFFU, 0xFFFFFFF8U, static_cast<std::uint32_t>(good.size())})
      bad.push_back(Poked(good, at, size));
  bad.push_back(Poked(good, 52, static_cast<std::uint32_t>(kSamples.size() + 1)));
  for (std::uint32_t riffSize : {3U, 20U}) bad.push_back(Poked(good, 4, riffSize));
  for (std::size_t at : {0U, 3U, 8U, 11U}) {  // RIFX, riff, WAVe ...
    bad.push_back(good);
    bad.back()[at] ^= 0x20;
  }
  bad.push_back(Riff({{"data", kSamples}}));
  bad.push_back(Riff({{"fmt ", Fmt()}}));
  Bytes shortFmt = Fmt();
  shortFmt.resize(14);
  for (const Bytes& fmt : {Fmt(1, 22050, 8, 0, 3), Fmt(0, 22050, 8), Fmt(9, 22050, 8), Fmt(1, 999, 8),
                           Fmt(1, 192001, 8), Fmt(1, 22050, 24), Fmt(1, 22050, 16, 1), shortFmt})
    bad.push_back(Riff({{"fmt ", fmt}, {"data", kSamples}}));
  for (std::size_t i = 0; i < bad.size(); ++i) EXPECT_FALSE(ParseExact(bad[i])) << "case " << i;
}

// The mixer's conversion of wave samples to its own stream: every format the wave reader
// accepts comes out as mono 16-bit samples at the mixer's rate.
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
  EXPECT_EQ(std::string(odd, 2), "\x02\x01");
  std::vector<char> rest(2 * (9 + SoundMixer::kFadeFrames + SoundMixer::kTrailingFrames));  // exactly what is left
  EXPECT_EQ(mixer.Render(rest), rest.size());
  EXPECT_TRUE(mixer.Finished());
  EXPECT_EQ(rest[rest.size() - 2] | rest.back(), 0) << "the trailing silence";
  mixer.Start(Samples(10, 5));
  mixer.Start(Samples(10, 6));  // the first fades beside the second
  mixer.Clear();
  EXPECT_TRUE(mixer.Finished());
}

}  // namespace
}  // namespace zbx
