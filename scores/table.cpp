#include "scores/table.h"

namespace zbx {

int PlaceEntry(HighScoreTable& table, const HighScoreEntry& entry) {
  int place = 1;
  while (place <= HighScoreTable::kPlaces && entry.Score < table(place).Score) ++place;
  if (place > HighScoreTable::kPlaces) return 0;
  for (int i = HighScoreTable::kPlaces; i > place; --i) table(i) = table(i - 1);
  table(place) = entry;
  return place;
}

}  // namespace zbx
