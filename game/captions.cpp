#include "game/captions.h"

#include "game/rules.h"
#include "platform/number_text.h"

namespace zbx {

std::int32_t ScoreFromCaption(const Form1& form) {
  return ParseWholeNumber<std::int32_t>(form.lblScore.Caption()).value_or(0);
}

std::int16_t LifesFromCaption(const Form1& form) {
  return ParseWholeNumber<std::int16_t>(form.lblLifes.Caption()).value_or(0);
}

bool UnlimitedLifesActive(const ModGame& s) {
  return s.CheatsEnabled == kTrue && s.CheatUnlimitedLifes == kTrue;
}

void ShowUnlimitedLifes(Game& g) {
  g.form.lblLifes.SetCaption("00");
  g.form.lblLifes.SetForeColor(palette::kYellow);
  g.s.LifesLeft = rules::kUnlimitedLifes;
}

}  // namespace zbx
