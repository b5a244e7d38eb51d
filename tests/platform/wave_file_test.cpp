#include "platform/wave_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zbx {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes ReadAsset(const std::string& name) {
  std::ifstream in(std::string(ZBX_ASSETS_DIR) + "/" + name, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

void Put16(Bytes& b, std::uint32_t v) {
  b.push_back(static_cast<std::uint8_t>(v));
  b.push_back(static_cast<std::uint8_t>(v >> 8));
}
void Put32(Bytes& b, std::uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}
void Poke32(Bytes& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

struct Chunk {
  std::string_view id;
  Bytes payload;
};

// A RIFF/WAVE image from the given chunks, each padded to an even size.
Bytes Riff(const std::vector<Chunk>& chunks) {
  Bytes b = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'};
  for (const Chunk& c : chunks) {
    b.insert(b.end(), c.id.begin(), c.id.end());
    Put32(b, static_cast<std::uint32_t>(c.payload.size()));
    b.insert(b.end(), c.payload.begin(), c.payload.end());
    if (c.payload.size() % 2) b.push_back(0);
  }
  Poke32(b, 4, static_cast<std::uint32_t>(b.size() - 8));
  return b;
}

Bytes Fmt(std::uint16_t channels = 1, std::uint32_t rate = 22050, std::uint16_t bits = 8,
          std::uint16_t align = 0, std::uint16_t tag = 1) {
  if (align == 0) align = static_cast<std::uint16_t>(channels * bits / 8);
  Bytes f;
  Put16(f, tag);
  Put16(f, channels);
  Put32(f, rate);
  Put32(f, rate * align);
  Put16(f, align);
  Put16(f, bits);
  return f;
}

const Bytes kSamples = {0x80, 0x90, 0xA0, 0x90, 0x80, 0x70};

// Parses a copy of exactly the given bytes, so that a read past the end is caught by the
// address sanitizer instead of landing in the rest of a larger buffer.
std::optional<WaveImage> ParseExact(std::span<const std::uint8_t> bytes) {
  const Bytes copy(bytes.begin(), bytes.end());
  const auto image = ParseWave(copy);
  if (!image) return std::nullopt;
  // Re-point the view at the caller's bytes; the copy dies here.
  const auto offset = image->pcm.data() - copy.data();
  return WaveImage{image->format, bytes.subspan(static_cast<std::size_t>(offset), image->pcm.size())};
}

struct Asset {
  const char* name;
  std::size_t file_size;
  std::uint32_t rate;
  std::uint16_t bits;
  std::size_t data_offset;
  std::size_t data_size;
  std::vector<std::size_t> whole_prefixes;  // shorter lengths that still end on a chunk boundary
};

void PrintTo(const Asset& a, std::ostream* os) { *os << a.name; }

class AssetTest : public testing::TestWithParam<Asset> {};

TEST_P(AssetTest, ParsesWithItsExactFormatAndSamples) {
  const Asset& a = GetParam();
  const Bytes file = ReadAsset(a.name);
  ASSERT_EQ(file.size(), a.file_size);
  const auto image = ParseExact(file);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->format.channels, 1);
  EXPECT_EQ(image->format.sample_rate, a.rate);
  EXPECT_EQ(image->format.bits_per_sample, a.bits);
  EXPECT_EQ(image->format.block_align, a.bits / 8);
  EXPECT_EQ(image->pcm.data(), file.data() + a.data_offset);
  EXPECT_EQ(image->pcm.size(), a.data_size);
}

// Cut short anywhere, the file is refused, except where the cut falls exactly behind a
// whole chunk after `data` (the RIFF size is then clamped and the sound is still complete).
TEST_P(AssetTest, EveryTruncationIsRefusedUnlessItEndsOnAWholeChunk) {
  const Asset& a = GetParam();
  const Bytes file = ReadAsset(a.name);
  ASSERT_EQ(file.size(), a.file_size);
  for (std::size_t len = 0; len < file.size(); ++len) {
    const auto image = ParseExact(std::span(file).first(len));
    const bool whole = std::find(a.whole_prefixes.begin(), a.whole_prefixes.end(), len) != a.whole_prefixes.end();
    ASSERT_EQ(image.has_value(), whole) << "length " << len;
    if (whole) {
      EXPECT_EQ(image->pcm.size(), a.data_size);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Sounds, AssetTest,
    testing::Values(Asset{"sound1.wav", 3062, 22050, 16, 12 + 26 + 8, 1028, {12 + 26 + 1036, 12 + 26 + 1036 + 1856}},
                    Asset{"sound2.wav", 28246, 22050, 8, 44, 28202, {}},
                    Asset{"sound3.wav", 10682, 11025, 8, 44, 10638, {}}),
    [](const testing::TestParamInfo<Asset>& param) { return std::string("sound") + std::to_string(param.index + 1); });

TEST(WaveFileTest, SkipsOddSizedChunksWithTheirPadByte) {
  const Bytes wave = Riff({{"fmt ", Fmt()}, {"junk", {1, 2, 3}}, {"LIST", {'I', 'N', 'F', 'O', 'x'}}, {"data", kSamples}});
  const auto image = ParseExact(wave);
  ASSERT_TRUE(image);
  EXPECT_EQ(Bytes(image->pcm.begin(), image->pcm.end()), kSamples);
}

TEST(WaveFileTest, AcceptsDataBeforeFormatAndAMissingFinalPadByte) {
  Bytes odd = kSamples;
  odd.push_back(0x81);
  Bytes wave = Riff({{"data", odd}, {"fmt ", Fmt()}});
  ASSERT_TRUE(ParseExact(wave));
  EXPECT_EQ(ParseExact(wave)->pcm.size(), 7U);

  wave = Riff({{"fmt ", Fmt()}, {"data", odd}});
  wave.pop_back();  // the pad byte of the last chunk
  Poke32(wave, 4, static_cast<std::uint32_t>(wave.size() - 8));
  ASSERT_TRUE(ParseExact(wave));
  EXPECT_EQ(ParseExact(wave)->pcm.size(), 7U);
}

TEST(WaveFileTest, CutsSamplesToWholeFramesAndTakesTheFirstOfRepeatedChunks) {
  const Bytes wave = Riff({{"fmt ", Fmt(2, 44100, 16)}, {"data", {1, 2, 3, 4, 5, 6, 7}}, {"fmt ", Fmt(1, 8000, 8)},
                           {"data", {9, 9}}});
  const auto image = ParseExact(wave);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->format.channels, 2);
  EXPECT_EQ(image->format.sample_rate, 44100U);
  EXPECT_EQ(Bytes(image->pcm.begin(), image->pcm.end()), (Bytes{1, 2, 3, 4}));
}

TEST(WaveFileTest, ClampsALargeRiffSizeAndIgnoresBytesBehindASmallOne) {
  Bytes wave = Riff({{"fmt ", Fmt()}, {"data", kSamples}});
  Poke32(wave, 4, 0xFFFFFFFF);
  EXPECT_TRUE(ParseExact(wave));

  wave = Riff({{"fmt ", Fmt()}, {"data", kSamples}});
  wave.insert(wave.end(), {'g', 'a', 'r', 'b', 'a', 'g', 'e'});
  EXPECT_TRUE(ParseExact(wave));

  for (std::uint32_t riff_size : {0U, 3U, 4U, 20U, 40U}) {  // too small to hold fmt and data
    Poke32(wave, 4, riff_size);
    EXPECT_FALSE(ParseExact(wave)) << riff_size;
  }
}

TEST(WaveFileTest, RefusesChunkSizesBeyondTheEnd) {
  const Bytes good = Riff({{"fmt ", Fmt()}, {"junk", {1, 2}}, {"data", kSamples}});
  // Offsets of the size fields: "RIFF" size "WAVE", then "fmt " at 12, "junk" at 36, "data" at 46.
  const std::size_t fmt_size = 16, junk_size = 40, data_size = 50;
  for (std::size_t at : {fmt_size, junk_size, data_size}) {
    for (std::uint32_t size : {0xFFFFFFFFU, 0x80000000U, 0xFFFFFFF8U, static_cast<std::uint32_t>(good.size())}) {
      Bytes wave = good;
      Poke32(wave, at, size);
      EXPECT_FALSE(ParseExact(wave)) << "size field at " << at << " = " << size;
    }
  }
  Bytes wave = good;
  Poke32(wave, data_size, static_cast<std::uint32_t>(kSamples.size() + 1));
  EXPECT_FALSE(ParseExact(wave));
}

TEST(WaveFileTest, RefusesMissingChunksAndAStrayTail) {
  EXPECT_FALSE(ParseExact(Riff({{"data", kSamples}})));
  EXPECT_FALSE(ParseExact(Riff({{"fmt ", Fmt()}})));
  EXPECT_FALSE(ParseExact(Riff({{"fmt ", Fmt()}, {"DATA", kSamples}})));
  EXPECT_FALSE(ParseExact(Riff({})));
  Bytes wave = Riff({{"fmt ", Fmt()}, {"data", kSamples}});
  wave.insert(wave.end(), {'L', 'I', 'S', 'T'});  // half a chunk header inside the form
  Poke32(wave, 4, static_cast<std::uint32_t>(wave.size() - 8));
  EXPECT_FALSE(ParseExact(wave));
}

TEST(WaveFileTest, RefusesFormatsItCannotPlay) {
  const Bytes bad_formats[] = {
      Fmt(1, 22050, 8, 0, 3),        // floating point
      Fmt(1, 22050, 16, 0, 0xFFFE),  // extensible
      Fmt(0, 22050, 8),        Fmt(9, 22050, 8),   Fmt(1, 0, 8),    Fmt(1, 999, 8),
      Fmt(1, 192001, 8),       Fmt(1, 0xFFFFFFFF, 16), Fmt(1, 22050, 24), Fmt(1, 22050, 4),
      Fmt(1, 22050, 0),        Fmt(1, 22050, 16, 1), Fmt(2, 22050, 8, 1), Fmt(1, 22050, 8, 0xFFFF),
  };
  for (const Bytes& fmt : bad_formats) {
    EXPECT_FALSE(ParseExact(Riff({{"fmt ", fmt}, {"data", kSamples}})));
  }
  Bytes short_fmt = Fmt();
  short_fmt.resize(14);
  EXPECT_FALSE(ParseExact(Riff({{"fmt ", short_fmt}, {"data", kSamples}})));
  EXPECT_TRUE(ParseExact(Riff({{"fmt ", Fmt(8, 192000, 16)}, {"data", kSamples}})));
  EXPECT_TRUE(ParseExact(Riff({{"fmt ", Fmt(1, 1000, 8)}, {"data", {}}})));
}

TEST(WaveFileTest, RefusesGarbageAndOtherContainers) {
  Bytes wave = Riff({{"fmt ", Fmt()}, {"data", kSamples}});
  for (std::size_t at : {0U, 3U, 8U, 11U}) {
    Bytes other = wave;
    other[at] ^= 0x20;  // RIFX, riff, WAVe ...
    EXPECT_FALSE(ParseExact(other)) << at;
  }
  std::uint32_t x = 12345;
  for (std::size_t len = 0; len < 300; ++len) {
    Bytes junk(len);
    for (auto& b : junk) b = static_cast<std::uint8_t>((x = x * 1664525U + 1013904223U) >> 24);
    EXPECT_FALSE(ParseExact(junk));
    if (len >= 12) {
      std::copy(wave.begin(), wave.begin() + 12, junk.begin());  // a valid header, then noise
      ParseExact(junk);  // must not crash or read out of bounds; the outcome is irrelevant
    }
  }
}

}  // namespace
}  // namespace zbx
