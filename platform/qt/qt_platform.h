#pragma once
// The platform services of the Qt build: clock, random source, message boxes, the
// event pass, embedded resources, sound and the end of the program.
#include <QPointer>
#include <QWidget>

#include "platform/qt/wave_player.h"
#include "platform/random.h"
#include "platform/services.h"

namespace zbx::qt {

class QtPlatform : public Platform {
 public:
  // Create it after the QApplication. Message boxes are centred on, and modal to, the
  // window given here.
  void SetWindow(QWidget* window) { window_ = window; }

  double TimeOfDay() override;
  void SleepBriefly() override;
  void DoEvents() override;
  void Randomize(double seed) override { random_.Randomize(seed); }
  double Rnd() override { return random_.Rnd(); }
  MsgBoxResult MsgBox(std::string_view text, std::string_view title, MsgBoxButtons buttons,
                      MsgBoxIcon icon) override;
  // Ends the process at once, from inside whatever handler calls it: output is flushed,
  // then std::quick_exit(0). No destructor, event or handler runs afterwards, so the
  // window's close request is not asked again; the game has saved its scores and
  // released its registry store before it calls this, and the store commits every call
  // on its own.
  [[noreturn]] void EndProgram() override;
  // The Qt resource ":/<type in lower case>/<id>", e.g. ":/wav/1"; empty when missing.
  std::vector<std::uint8_t> LoadResource(std::string_view type, int id) override;
  void PlayWave(WaveBytes wave) override;

 private:
  QPointer<QWidget> window_;
  MixingRandom random_;
  WavePlayer player_;
};

}  // namespace zbx::qt
