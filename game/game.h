#pragma once
// Everything a game procedure works on: the window model, the platform services, the
// module state and the buffer of the sound playing now. Every procedure takes a Game;
// there are no globals, so any number of games can exist side by side.
#include "game/state.h"
#include "platform/services.h"
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
  // A tick is running (it may be waiting in Delay, which lets events run).
  bool tickRunning = false;
};

}  // namespace zbx
