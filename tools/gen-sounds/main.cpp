// Writes the game's three sound effects as RIFF/WAVE files:
//   sound1.wav  catch blip, 16-bit 22050 Hz, with a picture and a text list after the samples
//   sound2.wav  bonus jingle, 8-bit 22050 Hz
//   sound3.wav  explosion, 8-bit 11025 Hz
// The output is deterministic (fixed seeds, own random source), so regenerating gives the
// committed files again; on another CPU the C library's last bit may move a sample by a
// level now and then, which --check lets pass (wave_check.h).
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <numbers>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "wave_check.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using Signal = std::vector<double>;
constexpr double kTwoPi = 2.0 * std::numbers::pi;

// ---- random source (splitmix64: the same numbers with every compiler and library) ----

class Noise {
 public:
  explicit Noise(std::uint64_t seed) : state_(seed) {}
  // Uniform in [-1, 1).
  double Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    z ^= z >> 31;
    return static_cast<double>(z >> 11) * 0x1.0p-52 - 1.0;
  }

 private:
  std::uint64_t state_;
};

// ---- RIFF writing ----

void Put16(Bytes& out, unsigned v) {
  out.push_back(static_cast<std::uint8_t>(v & 0xFF));
  out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}

void Put32(Bytes& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

void PutId(Bytes& out, std::string_view id) { out.insert(out.end(), id.begin(), id.end()); }

void PutChunk(Bytes& out, std::string_view id, const Bytes& payload) {
  PutId(out, id);
  Put32(out, static_cast<std::uint32_t>(payload.size()));
  out.insert(out.end(), payload.begin(), payload.end());
  if (payload.size() % 2 != 0) out.push_back(0);
}

// A mono PCM format; with_extension adds the (empty) extension size field.
Bytes FormatChunk(std::uint32_t rate, unsigned bits, bool with_extension) {
  const unsigned block = bits / 8;
  Bytes fmt;
  Put16(fmt, 1);  // PCM
  Put16(fmt, 1);  // mono
  Put32(fmt, rate);
  Put32(fmt, rate * block);
  Put16(fmt, block);
  Put16(fmt, bits);
  if (with_extension) Put16(fmt, 0);
  return fmt;
}

struct Chunk {
  std::string_view id;
  Bytes payload;
};

Bytes RiffWave(const std::vector<Chunk>& chunks) {
  Bytes body;
  PutId(body, "WAVE");
  for (const Chunk& c : chunks) PutChunk(body, c.id, c.payload);
  Bytes file;
  PutChunk(file, "RIFF", body);
  return file;
}

// ---- sample conversion ----

Bytes To16Bit(const Signal& s) {
  Bytes out;
  for (double x : s) {
    const long v = std::lround(std::clamp(x, -1.0, 1.0) * 32767.0);
    Put16(out, static_cast<unsigned>(v) & 0xFFFF);
  }
  return out;
}

// 8-bit samples are unsigned, silence at 128.
Bytes To8Bit(const Signal& s) {
  Bytes out;
  for (double x : s) out.push_back(static_cast<std::uint8_t>(128 + std::lround(std::clamp(x, -1.0, 1.0) * 127.0)));
  return out;
}

// Scales so that the loudest sample reaches peak.
void Normalize(Signal& s, double peak) {
  double max = 0;
  for (double x : s) max = std::max(max, std::abs(x));
  if (max > 0) {
    for (double& x : s) x *= peak / max;
  }
}

// ---- envelopes ----

// Rises from 0 to 1 along a half cosine over rise seconds, so a sound never starts with a click.
double Attack(double t, double rise) { return t >= rise ? 1.0 : 0.5 - 0.5 * std::cos(std::numbers::pi * t / rise); }

// Multiplies the last fade seconds by a falling half cosine, ending at exactly zero.
void FadeOut(Signal& s, double rate, double fade) {
  const auto n = static_cast<std::size_t>(fade * rate);
  for (std::size_t i = 0; i < n && i < s.size(); ++i) {
    s[s.size() - 1 - i] *= 0.5 - 0.5 * std::cos(std::numbers::pi * static_cast<double>(i) / static_cast<double>(n));
  }
}

// ---- sound 1: catch blip ----

// A quick upward chirp (an octave in 23 ms) with a bright second partial and a fast decay.
Signal CatchBlip(std::size_t samples, double rate) {
  Signal s(samples);
  const double length = static_cast<double>(samples) / rate;
  double phase = 0;
  for (std::size_t i = 0; i < samples; ++i) {
    const double t = static_cast<double>(i) / rate;
    const double freq = 1050.0 * std::pow(2.0, t / length);
    phase += kTwoPi * freq / rate;
    const double tone = std::sin(phase) + 0.3 * std::sin(2 * phase) + 0.08 * std::sin(3 * phase);
    s[i] = tone * Attack(t, 0.0015) * std::exp(-t / 0.009);
  }
  FadeOut(s, rate, 0.004);
  Normalize(s, 0.8);
  return s;
}

// ---- sound 2: bonus jingle ----

struct Note {
  double start;  // seconds
  double freq;   // Hz
  double decay;  // time constant, seconds
  double gain;
};

// One soft mallet-like note: two slightly detuned fundamentals (a gentle beating) and a
// second harmonic that dies away faster than the body of the note.
void AddNote(Signal& s, double rate, const Note& n) {
  for (auto i = static_cast<std::size_t>(n.start * rate); i < s.size(); ++i) {
    const double t = static_cast<double>(i) / rate - n.start;
    const double vibrato = 1.0 + 0.002 * std::sin(kTwoPi * 5.5 * t) * std::min(1.0, t / 0.3);
    const double w = kTwoPi * n.freq * vibrato * t;
    const double body = std::sin(w) + std::sin(w * 1.0035);
    const double shine = 0.35 * std::sin(2 * w) * std::exp(-t / (n.decay * 0.3));
    s[i] += n.gain * (body + shine) * Attack(t, 0.006) * std::exp(-t / n.decay);
  }
}

// A rising C major arpeggio that lands on a ringing chord.
Signal BonusJingle(std::size_t samples, double rate) {
  constexpr double C5 = 523.25, E5 = 659.26, G5 = 783.99, C6 = 1046.50, E6 = 1318.51, G6 = 1567.98;
  const Note notes[] = {
      {0.00, C5, 0.10, 0.8},  {0.08, E5, 0.10, 0.8},  {0.16, G5, 0.10, 0.8},  {0.24, C6, 0.10, 0.7},
      {0.36, E6, 0.12, 0.55}, {0.36, C6, 0.45, 0.45}, {0.44, G5, 0.45, 0.4},  {0.44, E6, 0.40, 0.35},
      {0.52, G6, 0.35, 0.3},
  };
  Signal s(samples, 0.0);
  for (const Note& n : notes) AddNote(s, rate, n);
  FadeOut(s, rate, 0.08);
  Normalize(s, 0.92);
  return s;
}

// ---- sound 3: explosion ----

// Second-order low-pass (the usual biquad), its cutoff free to move from sample to sample.
class LowPass {
 public:
  double Run(double x, double cutoff, double rate) {
    const double w = kTwoPi * cutoff / rate;
    const double alpha = std::sin(w) / (2 * 0.707);
    const double cw = std::cos(w);
    const double a0 = 1 + alpha;
    const double b1 = (1 - cw) / a0, b0 = b1 / 2, a1 = -2 * cw / a0, a2 = (1 - alpha) / a0;
    const double y = b0 * x + b1 * x1_ + b0 * x2_ - a1 * y1_ - a2 * y2_;
    x2_ = x1_;
    x1_ = x;
    y2_ = y1_;
    y1_ = y;
    return y;
  }

 private:
  double x1_ = 0, x2_ = 0, y1_ = 0, y2_ = 0;
};

// A noise burst whose brightness falls away fast, over a deep rumble and a dropping thump
// that last longer; a soft saturation keeps it loud without clipping.
Signal Explosion(std::size_t samples, double rate) {
  Noise noise(0x5EED0003);
  LowPass burst_filter, rumble_filter, rumble_filter2;
  Signal s(samples);
  double thump_phase = 0;
  for (std::size_t i = 0; i < samples; ++i) {
    const double t = static_cast<double>(i) / rate;
    const double cutoff = 200.0 + 2800.0 * std::exp(-t / 0.12);
    const double burst = burst_filter.Run(noise.Next(), cutoff, rate) * std::exp(-t / 0.18);
    const double rumble = rumble_filter2.Run(rumble_filter.Run(noise.Next(), 140.0, rate), 140.0, rate);
    thump_phase += kTwoPi * (38.0 + 70.0 * std::exp(-t / 0.08)) / rate;
    const double thump = std::sin(thump_phase) * std::exp(-t / 0.15);
    const double body = 1.0 * burst + 2.2 * rumble * std::exp(-t / 0.35) + 0.5 * thump;
    s[i] = body * Attack(t, 0.003);
  }
  Normalize(s, 1.0);
  for (double& x : s) x = std::tanh(1.8 * x) / std::tanh(1.8);
  FadeOut(s, rate, 0.12);
  Normalize(s, 0.95);
  return s;
}

// ---- the extra chunks of sound 1 ----

// A 40 x 40 picture with 51 colours (a shaded planet with a ring) as a clipboard DIB:
// format code 8 (CF_DIB), a BITMAPINFOHEADER, the palette and the bottom-up rows.
Bytes DisplayChunk() {
  constexpr int kSide = 40, kColours = 51, kSphere = 44;  // colours 1..44 shade the planet
  Bytes out;
  Put32(out, 8);
  Put32(out, 40);
  Put32(out, kSide);
  Put32(out, kSide);
  Put16(out, 1);
  Put16(out, 8);
  Put32(out, 0);
  Put32(out, kSide * kSide);
  Put32(out, 2835);
  Put32(out, 2835);
  Put32(out, kColours);
  Put32(out, 0);
  auto rgb = [&out](int r, int g, int b) {
    out.insert(out.end(), {static_cast<std::uint8_t>(b), static_cast<std::uint8_t>(g), static_cast<std::uint8_t>(r), 0});
  };
  rgb(0, 0, 0);
  for (int i = 0; i < kSphere; ++i) {
    const double l = static_cast<double>(i) / (kSphere - 1);
    rgb(static_cast<int>(20 + 200 * l), static_cast<int>(40 + 170 * l), static_cast<int>(90 + 165 * l));
  }
  for (int i = 0; i < kColours - 1 - kSphere; ++i) rgb(200 + 8 * i, 160 + 10 * i, 60 + 12 * i);
  // The ring's tilt of -0.35 radians, as its cosine and sine: the picture is made with
  // exactly rounded arithmetic only, the same on every CPU.
  constexpr double kCosTilt = 0x1.e0f575d0de5b7p-1, kSinTilt = -0x1.5f209a5390a8bp-2;
  for (int y = 0; y < kSide; ++y) {  // bottom row first
    for (int x = 0; x < kSide; ++x) {
      // In planet radii, y upwards; the ring is a tilted ellipse band whose upper half
      // passes behind the planet.
      const double dx = (x - 19.5) / 12.0, dy = (y - 19.5) / 12.0;
      const double u = dx * kCosTilt + dy * kSinTilt, v = dy * kCosTilt - dx * kSinTilt;
      const double band = std::sqrt((u / 1.6) * (u / 1.6) + (v / 0.42) * (v / 0.42));
      const double r2 = dx * dx + dy * dy;
      std::uint8_t index = 0;
      if (band > 0.78 && band < 1.0 && (r2 >= 1.0 || v < 0)) {
        index = static_cast<std::uint8_t>(kSphere + 1 + std::min(5, static_cast<int>((band - 0.78) / 0.22 * 6)));
      } else if (r2 < 1.0) {
        const double light = std::clamp(0.5 * (-dx * 0.5 + dy * 0.5) + 0.6 * std::sqrt(1 - r2), 0.0, 1.0);
        index = static_cast<std::uint8_t>(1 + std::lround(light * (kSphere - 1)));
      }
      out.push_back(index);
    }
  }
  return out;
}

void PutInfo(Bytes& list, std::string_view id, std::string_view text) {
  Bytes payload(text.begin(), text.end());
  payload.push_back(0);
  PutChunk(list, id, payload);
}

Bytes InfoListChunk() {
  Bytes list;
  PutId(list, "INFO");
  PutInfo(list, "INAM", "Catch");
  PutInfo(list, "ICMT", "A short rising blip for a caught planet");
  PutInfo(list, "ICOP", "Free to use and share");
  PutInfo(list, "ISFT", "Zorbanix gen-sounds");
  return list;
}

// ---- the three files ----

Bytes Sound1() {
  constexpr double rate = 22050;
  return RiffWave({{"fmt ", FormatChunk(22050, 16, true)},
                   {"data", To16Bit(CatchBlip(514, rate))},
                   {"DISP", DisplayChunk()},
                   {"LIST", InfoListChunk()}});
}

Bytes Sound2() { return RiffWave({{"fmt ", FormatChunk(22050, 8, false)}, {"data", To8Bit(BonusJingle(28202, 22050))}}); }

Bytes Sound3() { return RiffWave({{"fmt ", FormatChunk(11025, 8, false)}, {"data", To8Bit(Explosion(10638, 11025))}}); }

void CheckSize(const std::string& path, const Bytes& bytes, std::size_t expected_size) {
  if (bytes.size() != expected_size) {
    throw std::runtime_error(path + ": " + std::to_string(bytes.size()) + " bytes instead of " +
                             std::to_string(expected_size));
  }
}

void Write(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out.flush()) throw std::runtime_error(path + ": cannot write");
}

// True when the file holds these bytes, give or take the C library's noise in the samples.
bool Matches(const std::string& path, const Bytes& bytes) {
  std::ifstream in(path, std::ios::binary);
  const Bytes found(std::istreambuf_iterator<char>(in), {});
  const sounds::WaveDifference d = sounds::CompareWaves(bytes, found);
  if (!d.sameLayout) {
    std::cerr << "gen-sounds: " << path << " differs from what the generator makes (outside the samples)\n";
    return false;
  }
  if (d.samples > 0) {
    std::cerr << "gen-sounds: " << path << ": " << d.samples << " of " << d.total << " samples differ, by up to "
              << d.largest << " levels\n";
  }
  return sounds::IsNoise(d);
}

}  // namespace

// gen-sounds <folder> writes the files; gen-sounds --check <folder> compares them instead.
int main(int argc, char** argv) {
  const bool check = argc == 3 && std::string_view(argv[1]) == "--check";
  if (argc != 2 && !check) {
    std::cerr << "usage: gen-sounds [--check] <assets folder>\n";
    return 2;
  }
  const std::string dir = argv[argc - 1];
  try {
    const std::pair<std::string, Bytes> files[] = {
        {dir + "/sound1.wav", Sound1()}, {dir + "/sound2.wav", Sound2()}, {dir + "/sound3.wav", Sound3()}};
    CheckSize(files[0].first, files[0].second, 3062);
    CheckSize(files[1].first, files[1].second, 28246);
    CheckSize(files[2].first, files[2].second, 10682);
    bool same = true;
    for (const auto& [path, bytes] : files) {
      if (check) {
        same = Matches(path, bytes) && same;
      } else {
        Write(path, bytes);
      }
    }
    return same ? 0 : 1;
  } catch (const std::exception& e) {
    std::cerr << "gen-sounds: " << e.what() << "\n";
    return 1;
  }
}
