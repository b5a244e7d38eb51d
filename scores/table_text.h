#pragma once
// The text form of the high-score table: ten entries "name.score" joined by "|", best
// first, and the built-in default table.
#include <optional>
#include <string>
#include <string_view>

#include "scores/table.h"

namespace zbx {

inline constexpr std::string_view kDefaultTableText =
    "quandrovix.200|T T Venkrallo.180|Pumble Oatcake.160|Vix.140|Dov.120|mirra.100|Kror.80|"
    "Blix.60|Oona.40|Gramps Wobble.20";

// The table of an unscrambled table text. A missing or empty entry, name or score is
// taken from the default entry of the same place; a score that is not a 32-bit decimal
// number (blanks around it allowed) makes the whole table the default one. Only the
// first two fields of an entry count, and entries beyond the tenth are ignored.
HighScoreTable ParseTableText(std::string_view text);

// The same, but nothing instead of the default when a score is no number.
std::optional<HighScoreTable> TryParseTableText(std::string_view text);

HighScoreTable DefaultHighScores();

// The table text of a table: "name1.score1|...|name10.score10", each name as
// StorableName makes it, so that the text always reads back as the same ten entries.
std::string BuildTableText(const HighScoreTable& table);

// A name as the stored table can hold it: a "|" or "." would split its entry, and a
// control character cannot be seen (a vertical tab would even scramble to a blank,
// which reading the stored value drops at its start); each becomes "?".
std::string StorableName(std::string name);

}  // namespace zbx
