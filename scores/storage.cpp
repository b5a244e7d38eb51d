#include "scores/storage.h"

#include <string>

#include "registry/cls_registry_access.h"
#include "scores/scramble.h"
#include "scores/table_text.h"

namespace zbx {

void LoadHighScores(Game& g) {
  g.s.HighScores = DefaultHighScores();
  if (!g.s.Registry) return;
  try {
    const std::string scrambledDefault = ScrambleText(kDefaultTableText);
    const std::string stored = g.s.Registry->ReadString(std::string(kScoresPath),
                                                        std::string(kScoresValue), scrambledDefault);
    g.s.HighScores = ParseTableText(UnscrambleText(stored));
  } catch (...) {
    g.s.HighScores = DefaultHighScores();  // an unreadable store leaves the built-in table
  }
}

void SaveHighScores(Game& g) {
  if (!g.s.Registry) return;
  try {
    g.s.Registry->WriteString(std::string(kScoresPath), std::string(kScoresValue),
                              ScrambleText(BuildTableText(g.s.HighScores)));
  } catch (...) {
    // The program ends whether or not the value could be written.
  }
}

}  // namespace zbx
