#pragma once
// Where the high-score table is kept between runs.
#include <optional>
#include <vector>

#include "scores/table.h"

namespace zbx {

class ScoreStorage {
 public:
  virtual ~ScoreStorage() = default;

  // The stored table; anything missing comes from the default table, anything
  // unreadable makes it the default table.
  virtual HighScoreTable Load() = 0;

  // Places entries into the table stored at this moment (as recording them there would)
  // and stores the result, so that a game on the same store that saved in the meantime
  // keeps its scores; no other writer comes between the read and the write. Gives the
  // table as merged, also when writing it failed, or nothing when the store could not
  // be had at all.
  virtual std::optional<HighScoreTable> Save(const std::vector<HighScoreEntry>& entries) = 0;
};

}  // namespace zbx
