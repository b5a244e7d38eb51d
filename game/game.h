#pragma once
// Everything a game procedure works on: the window model, the platform services, the
// module state and the buffer of the sound playing now. Every procedure takes a Game;
// there are no globals, so any number of games can exist side by side.
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "game/state.h"
#include "platform/services.h"
#include "platform/winreg.h"
#include "scores/storage.h"
#include "window/form1.h"

namespace zbx {

struct Game {
  Game(Form1& f, Platform& p) : form(f), platform(p) {}
  Game(const Game&) = delete;
  Game& operator=(const Game&) = delete;

  Form1& form;
  Platform& platform;
  ModGame s;
  // The most recent sound's bytes, kept until the next sound replaces them.
  WaveBytes currentSound;
  // The entries this run put into HighScores, in order: saving places them into the
  // table stored by then, so that another game's scores saved meanwhile are kept.
  std::vector<HighScoreEntry> recordedScores;
  // Where HighScores is loaded from and saved to; Form_Load gives it the registry's.
  std::unique_ptr<ScoreStorage> scoreStorage;

  // Where the registry object of Form_Load keeps its data; nullptr: the per-user store.
  win::RegistryApi* registryStore = nullptr;

  // Bookkeeping of the event plumbing (not game state). Waits let other events run in
  // the middle of a procedure; these keep what runs then consistent.
  int modalDepth = 0;       // message boxes being shown: timer events are no ticks
  bool tickRunning = false; // a tick is running (possibly inside its wait)
  std::uint32_t epoch = 0;  // moves on whenever a game is abandoned for a new one
  // The game (by epoch) whose score has gone into the table: it goes in as soon as the
  // game is decided, before the waits that show its end.
  std::optional<std::uint32_t> recordedEpoch;

  // The program has ended: no handler acts any more. Asked only through Ended().
  bool Ended() const { return ended_; }
  void MarkEnded() { ended_ = true; }

 private:
  bool ended_ = false;
};

// Whether a procedure that waited (and so let events run) may carry on with the game it
// started with: not when the program ended or the game was abandoned meanwhile.
inline bool SameGameAfterWait(const Game& g, std::uint32_t epochBefore) {
  return !g.Ended() && g.epoch == epochBefore;
}

}  // namespace zbx
