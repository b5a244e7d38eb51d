#pragma once
// The game's message boxes, all titled as the window. While one is shown the game stands
// still: timer events that arrive meanwhile are not turned into ticks.
#include <string_view>

#include "game/game.h"

namespace zbx {

inline constexpr std::string_view kMsgTitle = Form1::kTitle;
inline constexpr std::string_view kAskQuitGame = "Are you sure you want to quit current game?";
inline constexpr std::string_view kAskExit = "Are you sure you want to exit?";
inline constexpr std::string_view kMustEnterName = "You must enter your name.";

// A Yes/No question with the question icon; true only for an explicit Yes.
bool AskYes(Game& g, std::string_view text);
// An OK box with the information icon.
void Inform(Game& g, std::string_view text);

}  // namespace zbx
