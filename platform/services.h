#pragma once
// What the game needs from the desktop platform, behind one interface: the Qt build
// implements it for real (platform/qt/), tests use a scripted fake (tests/support/).
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace zbx {

enum class MsgBoxButtons { OK, YesNo };
enum class MsgBoxIcon { Information, Question };
// The values the desktop's message box returns.
enum class MsgBoxResult { OK = 1, Cancel = 2, Yes = 6, No = 7 };

using WaveBytes = std::shared_ptr<const std::vector<std::uint8_t>>;

class Platform {
 public:
  virtual ~Platform() = default;

  // Time of day in seconds since midnight, with fractions.
  virtual double TimeOfDay() = 0;
  // A pause of a few milliseconds, so that busy waits do not spin the CPU.
  virtual void SleepBriefly() = 0;
  // Lets pending window events (input, timer, paint) run once.
  virtual void DoEvents() = 0;

  // The pseudo-random source: Randomize mixes a seed into the running state
  // (it does not restart the sequence); Rnd draws uniformly from [0, 1).
  virtual void Randomize(double seed) = 0;
  virtual double Rnd() = 0;

  // A modal message box; text and title are UTF-8.
  virtual MsgBoxResult MsgBox(std::string_view text, std::string_view title, MsgBoxButtons buttons,
                              MsgBoxIcon icon) = 0;

  // Ends the program at once: no further event handler runs.
  virtual void EndProgram() = 0;

  // An embedded resource by type name ("WAV") and numeric id; empty when missing.
  virtual std::vector<std::uint8_t> LoadResource(std::string_view type, int id) = 0;
  // Plays a complete RIFF/WAVE image asynchronously; a new sound replaces one still
  // playing. The player keeps the bytes alive for as long as it needs them.
  virtual void PlayWave(WaveBytes wave) = 0;
};

}  // namespace zbx
