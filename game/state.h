#pragma once
// The module state of the game: every variable the game procedures share, in one
// record, in a fixed order with fixed widths, so that every number wraps and compares
// alike on any machine. Integer is int16_t, Long is int32_t, and flags are 16-bit with
// True = -1 and False = 0, compared against exactly those two values.
#include <cstdint>
#include <memory>
#include <string>

#include "scores/table.h"

namespace zbx {

using Flag = std::int16_t;
constexpr Flag kTrue = -1;
constexpr Flag kFalse = 0;
constexpr Flag ToFlag(bool b) { return b ? kTrue : kFalse; }

class clsRegistryAccess;

// ModGame::ControlMode: the controller the player chose for the basket.
constexpr std::int16_t kNoControl = 0;  // none chosen yet
constexpr std::int16_t kKeyboardControl = 1;
constexpr std::int16_t kMouseControl = 2;

struct ModGame {
  std::int16_t ControlMode = kNoControl;
  Flag GameRunning = kFalse;
  Flag Paused = kFalse;
  Flag WasPaused = kFalse;
  Flag NewGameOpen = kFalse;
  Flag HelpShown = kFalse;
  Flag ScoresShown = kFalse;
  std::shared_ptr<clsRegistryAccess> Registry;
  HighScoreTable HighScores;
  Flag PointerVisible = kFalse;
  Flag SoundOn = kFalse;
  std::int32_t SavedScore = 0;
  std::int16_t SavedLifes = 0;
  std::string SavedName;
  std::int32_t Speed = 0;
  Flag LaunchPending = kFalse;
  std::int16_t ObjectLeft = 0;
  std::int16_t PlanetClass = 0;
  Flag HighScoreBeaten = kFalse;
  Flag ScoreRecorded = kFalse;
  std::int16_t RecordedPlace = 0;
  std::int16_t TransformRoll = 0;
  std::int16_t LifesLeft = 0;
  Flag NewGamePause = kFalse;
  Flag CheatsEnabled = kFalse;
  Flag CheatOnlyLifes = kFalse;
  Flag CheatOnlyBombs = kFalse;
  Flag CheatUnlimitedLifes = kFalse;
  Flag CheatSlowMotion = kFalse;
  Flag CheatSetSpeed = kFalse;
  std::int16_t CheatSpeedValue = 0;
};

}  // namespace zbx
