#include "scores/storage.h"

#include <string>

#include "registry/cls_registry_access.h"
#include "scores/scoreboard.h"
#include "scores/scramble.h"
#include "scores/table_text.h"

namespace zbx {
namespace {

HighScoreTable StoredHighScores(clsRegistryAccess& registry) {
  try {
    const std::string scrambledDefault = ScrambleText(kDefaultTableText);
    const std::string stored =
        registry.ReadString(std::string(kScoresPath), std::string(kScoresValue), scrambledDefault);
    return ParseTableText(UnscrambleText(stored));
  } catch (...) {
    return DefaultHighScores();  // an unreadable store leaves the built-in table
  }
}

}  // namespace

void LoadHighScores(Game& g) {
  g.s.HighScores = DefaultHighScores();
  if (!g.s.Registry) return;
  g.s.HighScores = StoredHighScores(*g.s.Registry);
}

void SaveHighScores(Game& g) {
  if (!g.s.Registry) return;
  clsRegistryAccess& registry = *g.s.Registry;
  bool ran = false;
  const auto mergeAndWrite = [&]() -> win::LONG {
    ran = true;
    HighScoreTable table = StoredHighScores(registry);
    for (const HighScoreEntry& entry : g.recordedScores) PlaceEntry(table, entry);
    g.s.HighScores = table;
    registry.WriteString(std::string(kScoresPath), std::string(kScoresValue),
                         ScrambleText(BuildTableText(table)));
    return win::ERROR_SUCCESS;
  };
  try {
    registry.Store().Transact(mergeAndWrite);
    // A store that cannot be had to itself (locked past its wait) still gets the save.
    if (!ran) mergeAndWrite();
  } catch (...) {
    // The program ends whether or not the value could be written.
  }
}

}  // namespace zbx
