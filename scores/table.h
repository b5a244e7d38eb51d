#pragma once
// The high-score table: ten entries, best first, and how a new entry finds its place.
#include <array>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace zbx {

struct HighScoreEntry {
  std::int32_t Score = 0;
  std::string Name;
  bool operator==(const HighScoreEntry&) const = default;
};

// The ten places of the scoreboard, addressed 1..10 (place 1 is the best).
class HighScoreTable {
 public:
  static constexpr int kPlaces = 10;
  HighScoreEntry& operator()(int place) { return entries_.at(Index(place)); }
  const HighScoreEntry& operator()(int place) const { return entries_.at(Index(place)); }
  bool operator==(const HighScoreTable&) const = default;

 private:
  static std::size_t Index(int place) {
    if (place < 1 || place > kPlaces) throw std::out_of_range("high-score place out of range");
    return static_cast<std::size_t>(place - 1);
  }
  std::array<HighScoreEntry, kPlaces> entries_{};
};

// Puts entry into table at the first place whose score it reaches (a tie ranks above
// the older entry), moving the entries below down one place; returns that place, or 0
// when it reaches none.
int PlaceEntry(HighScoreTable& table, const HighScoreEntry& entry);

}  // namespace zbx
