#include "platform/sound_mixer.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace zbx {
namespace {

// One frame of the wave, its channels averaged, on the 16-bit scale.
int MonoFrame(const WaveImage& wave, std::size_t frame) {
  const WaveFormat& f = wave.format;
  const std::uint8_t* p = wave.pcm.data() + frame * f.block_align;
  int sum = 0;
  for (int c = 0; c < f.channels; ++c) {
    if (f.bits_per_sample == 8) {
      sum += (p[c] - 128) * 256;
    } else {
      sum += static_cast<std::int16_t>(p[2 * c] | p[2 * c + 1] << 8);
    }
  }
  return sum / f.channels;
}

}  // namespace

std::vector<std::int16_t> SoundMixer::Convert(const WaveImage& wave) {
  const WaveFormat& f = wave.format;
  if (f.block_align == 0 || f.channels == 0 || f.sample_rate == 0) return {};
  const std::size_t inFrames = wave.pcm.size() / f.block_align;
  if (inFrames == 0) return {};
  const double step = static_cast<double>(f.sample_rate) / kRate;  // input frames per output frame
  const auto outFrames = std::min(
      kMaxFrames, static_cast<std::size_t>(std::ceil(static_cast<double>(inFrames) / step)));
  std::vector<std::int16_t> out(outFrames);
  for (std::size_t n = 0; n < outFrames; ++n) {
    const double t = static_cast<double>(n) * step;
    const auto i = std::min(static_cast<std::size_t>(t), inFrames - 1);
    const double frac = t - static_cast<double>(i);
    const int a = MonoFrame(wave, i);
    const int b = i + 1 < inFrames ? MonoFrame(wave, i + 1) : a;
    out[n] = static_cast<std::int16_t>(std::lround(a + (b - a) * frac));
  }
  return out;
}

void SoundMixer::Start(std::vector<std::int16_t> samples) {
  if (current_.active) {
    current_.fadeLeft = kFadeFrames;
    fading_.push_back(std::move(current_));
  }
  current_ = Voice{std::move(samples), 0, kFadeFrames, true};
  silenceLeft_ = kTrailingFrames;
}

void SoundMixer::Clear() {
  current_ = Voice{};
  fading_.clear();
  silenceLeft_ = 0;
}

int SoundMixer::NextFrame() {
  int mix = 0;
  if (current_.active) {
    if (current_.pos < current_.samples.size()) {
      mix += current_.Next();
    } else {
      // Played out: a last sample that is not silence fades from where it stands.
      if (!current_.samples.empty() && current_.samples.back() != 0) fading_.push_back(std::move(current_));
      current_ = Voice{};
    }
  }
  for (Voice& v : fading_) {
    --v.fadeLeft;
    mix += v.Next() * v.fadeLeft / kFadeFrames;
  }
  std::erase_if(fading_, [](const Voice& v) { return v.fadeLeft <= 0; });
  return std::clamp(mix, -32768, 32767);
}

std::size_t SoundMixer::Render(std::span<char> out) {
  std::size_t written = 0;
  while (written + 2 <= out.size() && !Finished()) {
    int frame = 0;
    if (current_.active || !fading_.empty()) {
      frame = NextFrame();
    } else {
      --silenceLeft_;
    }
    const auto bits = static_cast<std::uint16_t>(static_cast<std::int16_t>(frame));
    out[written] = static_cast<char>(bits & 0xFF);
    out[written + 1] = static_cast<char>(bits >> 8);
    written += 2;
  }
  return written;
}

}  // namespace zbx
