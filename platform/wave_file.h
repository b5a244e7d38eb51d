#pragma once
// Reading a RIFF/WAVE image held in memory: the format of its PCM samples and a view of
// them. Only uncompressed PCM with 8- or 16-bit samples is accepted; every other chunk
// than `fmt ` and `data` (pictures, text lists, cue points ...) is skipped.
//
// Malformed input is refused, never read past its end: a chunk whose size reaches
// beyond the image, a header cut short, a missing `fmt ` or `data` chunk, or a format
// that makes no sense (no channels, a rate outside 1000..192000 Hz, a block size that
// does not match channels and bits). The RIFF size is trusted only as far as the bytes
// go: a larger one is clamped to the image (a truncated file still fails, since its
// last chunk no longer fits), and bytes behind a smaller one are ignored.
#include <cstdint>
#include <optional>
#include <span>

namespace zbx {

struct WaveFormat {
  std::uint16_t channels = 0;
  std::uint32_t sample_rate = 0;
  std::uint16_t bits_per_sample = 0;  // 8 (unsigned samples) or 16 (signed)
  std::uint16_t block_align = 0;      // bytes per frame, all channels
};

struct WaveImage {
  WaveFormat format;
  // The samples, cut to whole frames; points into the parsed bytes.
  std::span<const std::uint8_t> pcm;
};

std::optional<WaveImage> ParseWave(std::span<const std::uint8_t> bytes);

}  // namespace zbx
