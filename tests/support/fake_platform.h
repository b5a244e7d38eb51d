#pragma once
// A scripted platform for headless tests: a clock the test sets, queued random draws and
// message-box answers, sounds and boxes recorded, and hooks to inject events during a
// wait or a question.
#include <cmath>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/services.h"

namespace zbx::test {

class FakePlatform : public Platform {
 public:
  struct ShownBox {
    std::string text, title;
    MsgBoxButtons buttons;
    MsgBoxIcon icon;
    bool operator==(const ShownBox&) const = default;
  };

  double now = 12 * 3600.0;  // seconds since midnight; reads wrap at 86400 like a clock

  std::deque<double> draws;  // queued values first, then a simple deterministic sequence
  std::uint64_t lcg = 12345;

  std::deque<MsgBoxResult> answers;  // empty queue answers No (or OK)
  std::vector<ShownBox> boxes;
  std::function<void()> onMsgBox;  // runs while the box is "shown"

  int doEventsCalls = 0;
  std::function<void()> onDoEvents;
  bool ended = false;

  std::vector<int> playedIds;  // resource ids, in order (filled by LoadResource+PlayWave)
  int resourceLoads = 0;

  double TimeOfDay() override { return std::fmod(now, 86400.0); }
  void SleepBriefly() override { now += 0.001; }  // a millisecond
  void DoEvents() override {
    ++doEventsCalls;
    if (onDoEvents) onDoEvents();
  }
  void Randomize(double) override {}
  double Rnd() override {
    if (!draws.empty()) {
      const double d = draws.front();
      draws.pop_front();
      return d;
    }
    lcg = lcg * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<double>(lcg >> 11) / 9007199254740992.0;
  }
  MsgBoxResult MsgBox(std::string_view text, std::string_view title, MsgBoxButtons buttons, MsgBoxIcon icon) override {
    boxes.push_back({std::string(text), std::string(title), buttons, icon});
    if (onMsgBox) onMsgBox();
    if (answers.empty()) return buttons == MsgBoxButtons::OK ? MsgBoxResult::OK : MsgBoxResult::No;
    const MsgBoxResult r = answers.front();
    answers.pop_front();
    return r;
  }
  void EndProgram() override { ended = true; }
  std::vector<std::uint8_t> LoadResource(std::string_view type, int id) override {
    ++resourceLoads;
    return {static_cast<std::uint8_t>(type == "WAV" ? id : 0)};
  }
  void PlayWave(WaveBytes wave) override { playedIds.push_back(wave->empty() ? -1 : (*wave)[0]); }
};

}  // namespace zbx::test
