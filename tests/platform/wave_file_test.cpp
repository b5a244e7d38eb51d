#include "platform/wave_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <optional>
#include <span>
#include <string>
#include <string_view>
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

struct Chunk {
  std::string_view id;
  Bytes payload;
};

// A RIFF/WAVE image from the given chunks, each padded to an even size.
Bytes Riff(const std::vector<Chunk>& chunks) {
  Bytes b = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'};
  for (const Chunk& c : chunks) {
    b.insert(b.end(), c.id.begin(), c.id.end());
    Put(b, static_cast<std::uint32_t>(c.payload.size()), 4);
    b.insert(b.end(), c.payload.begin(), c.payload.end());
    if (c.payload.size() % 2) b.push_back(0);
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
// address sanitizer instead of landing in the rest of a larger buffer. The samples come
// back as an offset and a size.
struct Parsed {
  WaveFormat format;
  std::size_t offset, size;
};
std::optional<Parsed> ParseExact(std::span<const std::uint8_t> bytes) {
  const Bytes copy(bytes.begin(), bytes.end());
  const auto image = ParseWave(copy);
  if (!image) return std::nullopt;
  return Parsed{image->format, static_cast<std::size_t>(image->pcm.data() - copy.data()), image->pcm.size()};
}

// The real sounds parse with their exact format; cut short anywhere they are refused,
// except where the cut falls exactly behind a whole chunk after `data`.
TEST(WaveFileTest, TheSoundsParseAndEveryTruncationIsRefusedUnlessItEndsOnAWholeChunk) {
  const struct {
    const char* name;
    std::uint32_t rate, bits;
    std::size_t dataOffset, dataSize;
    std::vector<std::size_t> wholePrefixes;
  } assets[] = {{"sound1.wav", 22050, 16, 46, 1028, {1074, 2930}},
                {"sound2.wav", 22050, 8, 44, 28202, {}}};
  for (const auto& a : assets) {
    SCOPED_TRACE(a.name);
    std::ifstream in(std::string(ZBX_ASSETS_DIR) + "/" + a.name, std::ios::binary);
    const Bytes file{std::istreambuf_iterator<char>(in), {}};
    const auto image = ParseExact(file);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->format.channels, 1);
    EXPECT_EQ(image->format.sample_rate, a.rate);
    EXPECT_EQ(image->format.bits_per_sample, a.bits);
    EXPECT_EQ(image->offset, a.dataOffset);
    EXPECT_EQ(image->size, a.dataSize);
    for (std::size_t len = 0; len < file.size(); ++len) {
      const auto cut = ParseExact(std::span(file).first(len));
      const bool whole = std::count(a.wholePrefixes.begin(), a.wholePrefixes.end(), len) > 0;
      ASSERT_EQ(cut.has_value(), whole) << "length " << len;
    }
  }
}

TEST(WaveFileTest, AcceptsOddChunksAnyOrderAndLooseRiffSizes) {
  const Bytes odd = {1, 2, 3, 4, 5, 6, 7};
  const Bytes plain = Riff({{"fmt ", Fmt()}, {"data", kSamples}});
  Bytes noPad = Riff({{"fmt ", Fmt()}, {"data", odd}});
  noPad.pop_back();
  const struct {
    Bytes wave, samples;
    std::uint32_t rate = 22050;
  } cases[] = {
      {Riff({{"fmt ", Fmt()}, {"junk", {1, 2, 3}}, {"LIST", {'I', 'N', 'F', 'O', 'x'}}, {"data", kSamples}}),
       kSamples},
      {Riff({{"data", odd}, {"fmt ", Fmt()}}), odd},
      {Poked(noPad, 4, static_cast<std::uint32_t>(noPad.size() - 8)), odd},  // no final pad byte
      {Poked(plain, 4, 0xFFFFFFFF), kSamples},                               // clamped RIFF size
      // Cut to whole frames; the first of repeated chunks counts.
      {Riff({{"fmt ", Fmt(2, 44100, 16)}, {"data", odd}, {"fmt ", Fmt()}, {"data", {9, 9}}}), {1, 2, 3, 4}, 44100},
      {Riff({{"fmt ", Fmt(8, 192000, 16)}, {"data", kSamples}}), {}, 192000},
  };
  for (const auto& c : cases) {
    const auto image = ParseExact(c.wave);
    ASSERT_TRUE(image) << "case " << &c - cases;
    const auto at = c.wave.begin() + static_cast<std::ptrdiff_t>(image->offset);
    EXPECT_EQ(Bytes(at, at + static_cast<std::ptrdiff_t>(image->size)), c.samples) << "case " << &c - cases;
    EXPECT_EQ(image->format.sample_rate, c.rate) << "case " << &c - cases;
  }
}

TEST(WaveFileTest, RefusesOversizeChunksMissingPartsOtherContainersAndUnplayableFormats) {
  const Bytes good = Riff({{"fmt ", Fmt()}, {"junk", {1, 2}}, {"data", kSamples}});
  std::vector<Bytes> bad;
  // The size fields of "fmt " (at 16), "junk" (40) and "data" (50) reaching beyond the end.
  for (std::size_t at : {16u, 40u, 50u})
    for (std::uint32_t size : {0xFFFFFFFFU, 0xFFFFFFF8U, static_cast<std::uint32_t>(good.size())})
      bad.push_back(Poked(good, at, size));
  bad.push_back(Poked(good, 50, static_cast<std::uint32_t>(kSamples.size() + 1)));
  for (std::uint32_t riffSize : {3U, 20U}) bad.push_back(Poked(good, 4, riffSize));
  for (std::size_t at : {0U, 3U, 8U, 11U}) {  // RIFX, riff, WAVe ...
    bad.push_back(good);
    bad.back()[at] ^= 0x20;
  }
  bad.push_back(Riff({{"data", kSamples}}));
  bad.push_back(Riff({{"fmt ", Fmt()}}));
  bad.push_back(Riff({{"fmt ", Fmt()}, {"DATA", kSamples}}));
  Bytes halfHeader = Riff({{"fmt ", Fmt()}, {"data", kSamples}});
  halfHeader.insert(halfHeader.end(), {'L', 'I', 'S', 'T'});
  bad.push_back(Poked(halfHeader, 4, static_cast<std::uint32_t>(halfHeader.size() - 8)));
  Bytes shortFmt = Fmt();
  shortFmt.resize(14);
  for (const Bytes& fmt : {Fmt(1, 22050, 8, 0, 3), Fmt(0, 22050, 8), Fmt(9, 22050, 8), Fmt(1, 999, 8),
                           Fmt(1, 192001, 8), Fmt(1, 22050, 24), Fmt(1, 22050, 16, 1), shortFmt})
    bad.push_back(Riff({{"fmt ", fmt}, {"data", kSamples}}));
  for (std::size_t i = 0; i < bad.size(); ++i) EXPECT_FALSE(ParseExact(bad[i])) << "case " << i;
}

}  // namespace
}  // namespace zbx
