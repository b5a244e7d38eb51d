#include "game/cheats.h"

#include <algorithm>
#include <string>

#include "game/rules.h"
#include "platform/number_text.h"
#include "platform/rounding.h"

namespace zbx {
namespace {

using namespace rules;

constexpr std::int16_t kEscape = 27;
constexpr std::int16_t kEnter = 13;
constexpr std::string_view kSetSpeed = "SETSPEED ";

std::string CommandText(std::string_view typed) {
  std::string s(typed);
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

// The five cheats exclude each other: every command sets all five.
struct CheatChoice {
  Flag onlyLifes = kFalse, onlyBombs = kFalse, unlimitedLifes = kFalse, slowMotion = kFalse,
       setSpeed = kFalse;
};

void Select(Game& g, const CheatChoice& c) {
  ModGame& s = g.s;
  s.CheatOnlyLifes = c.onlyLifes;
  s.CheatOnlyBombs = c.onlyBombs;
  s.CheatUnlimitedLifes = c.unlimitedLifes;
  s.CheatSlowMotion = c.slowMotion;
  s.CheatSetSpeed = c.setSpeed;
  const bool unlimited = c.unlimitedLifes == kTrue;
  g.form.lblLifes.SetCaption(unlimited ? "00" : std::to_string(kStartLifes));
  g.form.lblLifes.SetForeColor(unlimited ? palette::kYellow : palette::kGreen);
  // The count the next loss or bonus works on follows the caption at once: a command
  // typed while an object falls must not leave the old count (0, read from "00") behind.
  g.s.LifesLeft = static_cast<std::int16_t>(unlimited ? kUnlimitedLifes : kStartLifes);
}

// Carries out command s; false when it is none (or a cheat while still locked).
bool RunCommand(Game& g, const std::string& s) {
  if (s == kMasterCode) {
    g.s.CheatsEnabled = kTrue;
    return true;
  }
  if (g.s.CheatsEnabled != kTrue) return false;
  if (s == "ONLYLIFES") {
    Select(g, {.onlyLifes = kTrue});
  } else if (s == "ONLYBOMBS") {
    Select(g, {.onlyBombs = kTrue});
  } else if (s == "UNLIMITEDLIFES") {
    Select(g, {.unlimitedLifes = kTrue});
  } else if (s == "SLOWMOTION") {
    Select(g, {.slowMotion = kTrue});
  } else if (const auto speed = SetSpeedValue(s, g.s.CheatSpeedValue)) {
    g.s.CheatSpeedValue = *speed;
    Select(g, {.setSpeed = kTrue});
  } else {
    return false;
  }
  return true;
}

}  // namespace

std::optional<std::int16_t> SetSpeedValue(std::string_view command, std::int16_t previous) {
  if (!command.starts_with(kSetSpeed)) return std::nullopt;
  const std::string_view rest = command.substr(kSetSpeed.size());
  if (!ParseDecimalNumber(rest)) return std::nullopt;
  std::int16_t value = previous;
  if (const auto head = ParseDecimalNumber(rest.substr(0, 4)))
    value = RoundToChecked<std::int16_t>(*head).value_or(previous);
  return std::clamp(value, kCheatMinSpeed, kCheatMaxSpeed);
}

void txtCheat_KeyDown(Game& g, std::int16_t& keyCode, std::int16_t& shift) {
  (void)shift;
  if (keyCode == kEscape) {
    g.form.frameCheat.SetVisible(false);
  } else if (keyCode == kEnter) {
    if (RunCommand(g, CommandText(g.form.txtCheat.Text()))) g.form.txtCheat.SetText("");
  }
}

}  // namespace zbx
