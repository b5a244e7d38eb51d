#include "scores/table_text.h"

#include "platform/number_text.h"
#include "scores/get_field.h"

namespace zbx {
namespace {

std::string FieldOr(std::string field, const std::string& fallback) {
  return field.empty() ? fallback : std::move(field);
}

}  // namespace

std::string StorableName(std::string name) {
  for (char& c : name)
    if (c == '|' || c == '.' || static_cast<unsigned char>(c) < 0x20) c = '?';
  return name;
}

std::optional<HighScoreTable> TryParseTableText(std::string_view text) {
  HighScoreTable table;
  for (std::int16_t i = 1; i <= HighScoreTable::kPlaces; ++i) {
    const std::string fallbackEntry = GetField(kDefaultTableText, "|", i);
    const std::string entry = FieldOr(GetField(text, "|", i), fallbackEntry);
    table(i).Name = FieldOr(GetField(entry, ".", 1), GetField(fallbackEntry, ".", 1));
    const std::string scoreText = FieldOr(GetField(entry, ".", 2), GetField(fallbackEntry, ".", 2));
    const auto score = ParseWholeNumber<std::int32_t>(scoreText);
    if (!score) return std::nullopt;
    table(i).Score = *score;
  }
  return table;
}

HighScoreTable DefaultHighScores() { return *TryParseTableText(kDefaultTableText); }

HighScoreTable ParseTableText(std::string_view text) {
  auto table = TryParseTableText(text);
  return table ? *table : DefaultHighScores();
}

std::string BuildTableText(const HighScoreTable& table) {
  std::string text;
  for (int i = 1; i <= HighScoreTable::kPlaces; ++i) {
    if (i > 1) text += '|';
    text += StorableName(table(i).Name);
    text += '.';
    text += std::to_string(table(i).Score);
  }
  return text;
}

}  // namespace zbx
