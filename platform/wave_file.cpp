#include "platform/wave_file.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace zbx {
namespace {

using Bytes = std::span<const std::uint8_t>;

constexpr std::size_t kRiffHeader = 12;  // "RIFF", size, "WAVE"
constexpr std::size_t kChunkHeader = 8;  // id, size
constexpr std::size_t kPcmFormatSize = 16;
constexpr std::uint16_t kFormatPcm = 1;
constexpr std::uint16_t kMaxChannels = 8;
constexpr std::uint32_t kMinRate = 1000;
constexpr std::uint32_t kMaxRate = 192000;

std::uint16_t Le16(Bytes b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}

std::uint32_t Le32(Bytes b, std::size_t at) {
  return static_cast<std::uint32_t>(Le16(b, at)) | static_cast<std::uint32_t>(Le16(b, at + 2)) << 16;
}

bool IdIs(Bytes b, std::size_t at, const char (&id)[5]) { return std::memcmp(b.data() + at, id, 4) == 0; }

struct Chunks {
  std::optional<Bytes> fmt;
  std::optional<Bytes> data;
};

// Walks the chunks of the form body (what follows "WAVE"), keeping the first `fmt ` and
// the first `data`. Odd-sized chunks are followed by a pad byte, which a writer may have
// left off the very last chunk.
std::optional<Chunks> FindChunks(Bytes body) {
  Chunks found;
  std::size_t pos = 0;
  while (pos < body.size()) {
    if (body.size() - pos < kChunkHeader) return std::nullopt;
    const std::uint32_t size = Le32(body, pos + 4);
    const std::size_t start = pos + kChunkHeader;
    if (size > body.size() - start) return std::nullopt;
    const Bytes payload = body.subspan(start, size);
    if (IdIs(body, pos, "fmt ") && !found.fmt) {
      found.fmt = payload;
    } else if (IdIs(body, pos, "data") && !found.data) {
      found.data = payload;
    }
    pos = start + size + (size & 1U);
  }
  if (!found.fmt || !found.data) return std::nullopt;
  return found;
}

std::optional<WaveFormat> ReadFormat(Bytes fmt) {
  if (fmt.size() < kPcmFormatSize || Le16(fmt, 0) != kFormatPcm) return std::nullopt;
  WaveFormat f;
  f.channels = Le16(fmt, 2);
  f.sample_rate = Le32(fmt, 4);
  f.block_align = Le16(fmt, 12);
  f.bits_per_sample = Le16(fmt, 14);
  const bool sane = f.channels >= 1 && f.channels <= kMaxChannels && f.sample_rate >= kMinRate &&
                    f.sample_rate <= kMaxRate && (f.bits_per_sample == 8 || f.bits_per_sample == 16) &&
                    f.block_align == f.channels * (f.bits_per_sample / 8);
  if (!sane) return std::nullopt;
  return f;
}

}  // namespace

std::optional<WaveImage> ParseWave(Bytes bytes) {
  if (bytes.size() < kRiffHeader || !IdIs(bytes, 0, "RIFF") || !IdIs(bytes, 8, "WAVE")) return std::nullopt;
  const std::size_t form_end = std::min(bytes.size(), std::size_t{kChunkHeader} + Le32(bytes, 4));
  if (form_end < kRiffHeader) return std::nullopt;
  const auto chunks = FindChunks(bytes.subspan(kRiffHeader, form_end - kRiffHeader));
  if (!chunks) return std::nullopt;
  const auto format = ReadFormat(*chunks->fmt);
  if (!format) return std::nullopt;
  const Bytes data = *chunks->data;
  return WaveImage{*format, data.first(data.size() - data.size() % format->block_align)};
}

}  // namespace zbx
