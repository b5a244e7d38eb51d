#pragma once
// The stream of samples the wave player sends to the sound output: 16-bit mono at one
// fixed rate, whatever the waves' own formats. A new sound starts at once; the sound it
// replaces is not cut off but faded out over a few milliseconds beside it, and a sound
// whose last sample is not silence fades out from that sample, so that no sound ends on
// a jump (heard as a click). After the last sound comes a little silence, so that an
// output closed once everything is written has played the tail.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "platform/wave_file.h"

namespace zbx {

class SoundMixer {
 public:
  static constexpr int kRate = 44100;
  static constexpr int kFadeFrames = kRate * 5 / 1000;        // 5 ms
  static constexpr int kTrailingFrames = kRate / 10;          // 100 ms
  static constexpr std::size_t kMaxFrames = std::size_t{kRate} * 60;  // longer sounds are cut

  // The wave's samples at the mixer's rate: channels averaged, 8-bit samples centred and
  // scaled to 16 bits, the rate changed by linear interpolation.
  static std::vector<std::int16_t> Convert(const WaveImage& wave);

  // Starts a sound (samples from Convert) now, replacing the one that is playing.
  void Start(std::vector<std::int16_t> samples);
  // Fills out with the next samples as 16-bit little-endian bytes, whole frames only;
  // returns the bytes written, fewer than out holds only when the run of sounds, its
  // trailing silence included, has been written out.
  std::size_t Render(std::span<char> out);
  // Nothing is left to write.
  bool Finished() const { return !current_.active && fading_.empty() && silenceLeft_ == 0; }
  // Drops everything at once (the output is gone).
  void Clear();

 private:
  struct Voice {
    std::vector<std::int16_t> samples;
    std::size_t pos = 0;
    int fadeLeft = kFadeFrames;  // frames of fading still to come (fading voices)
    bool active = false;
    // The sample at pos; past the end, the last sample holds (and fades).
    int Next() {
      const std::size_t at = pos < samples.size() ? pos : samples.size() - 1;
      ++pos;
      return samples.empty() ? 0 : samples[at];
    }
  };
  int NextFrame();

  Voice current_;
  std::vector<Voice> fading_;
  int silenceLeft_ = 0;
};

}  // namespace zbx
