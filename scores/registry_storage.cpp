#include "scores/registry_storage.h"

#include <string>
#include <utility>

#include "registry/cls_registry_access.h"
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

RegistryScoreStorage::RegistryScoreStorage(std::shared_ptr<clsRegistryAccess> registry)
    : registry_(std::move(registry)) {}

HighScoreTable RegistryScoreStorage::Load() { return StoredHighScores(*registry_); }

std::optional<HighScoreTable> RegistryScoreStorage::Save(const std::vector<HighScoreEntry>& entries) {
  clsRegistryAccess& registry = *registry_;
  std::optional<HighScoreTable> merged;
  const auto mergeAndWrite = [&]() -> win::LONG {
    HighScoreTable table = StoredHighScores(registry);
    for (const HighScoreEntry& entry : entries) PlaceEntry(table, entry);
    merged = table;
    registry.WriteString(std::string(kScoresPath), std::string(kScoresValue),
                         ScrambleText(BuildTableText(table)));
    return win::ERROR_SUCCESS;
  };
  try {
    registry.Store().Transact(mergeAndWrite);
    // A store that cannot be had to itself (locked past its wait) still gets the save.
    if (!merged) mergeAndWrite();
  } catch (...) {
    // The program ends whether or not the value could be written.
  }
  return merged;
}

}  // namespace zbx
