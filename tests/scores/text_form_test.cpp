// The text form of the table: GetField, the scrambling, parsing and building.
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "platform/codepage.h"
#include "scores/get_field.h"
#include "scores/scramble.h"
#include "scores/table_text.h"

namespace zbx {
namespace {

using namespace std::string_literals;

TEST(GetField, CountsFromOneAndGivesEmptyForWhatIsNotThere) {
  const std::tuple<const char*, const char*, int, const char*> cases[] = {
      {"a|b|c", "|", 3, "c"}, {"whole", "|", 1, "whole"}, {"a<>b<>c", "<>", 2, "b"}, {"a||c", "|", 2, ""},
      {"|a", "|", 1, ""},     {"a|", "|", 2, ""},         {"a|b", "|", 3, ""},        {"a|b", "|", 0, ""},
      {"a|b", "", 1, ""},     {"a|b", "|", 32767, ""},
      // A long delimiter is searched for in the text with one of it appended.
      {"a", "aa", 1, ""},     {"xab", "abab", 1, "x"},    {"xab", "abab", 2, ""},     {"ab", "ab", 2, ""}};
  for (const auto& [text, delimiter, index, field] : cases)
    EXPECT_EQ(GetField(text, delimiter, static_cast<std::int16_t>(index)), field) << text << " " << index;
}

// Code-page codes shift by 21; what cannot shift is stored as a question mark.
TEST(Scramble, ShiftsCodePageCodesBy21AndStoresTheRestAsQuestionMarks) {
  EXPECT_EQ(ScrambleText("abc"), "vwx");
  EXPECT_EQ(ScrambleText("k"), "\xE2\x82\xAC");  // 107 gives 128, the euro sign
  EXPECT_EQ(UnscrambleText("\n\x14\x15"), "\0\0\0"s) << "codes below 21 give code 0";
  std::string all;
  for (int code = 0; code < 235; ++code) AppendUtf8(all, FromAnsiCode(static_cast<std::uint8_t>(code)));
  EXPECT_EQ(UnscrambleText(ScrambleText(all)), all);
  // ë is code 235, ÿ 255; the snowman has no code at all; \xFF is no UTF-8.
  EXPECT_EQ(UnscrambleText(ScrambleText("Zo\xC3\xAB\xC3\xBF\xE2\x98\x83\xFFx")), "Zo????x");
}

// Gaps come from the default entry of the place, extras are ignored, and delimiters in
// names cannot split their entry.
TEST(TableText, ParsingFillsGapsAndBuildingKeepsEachEntryWhole) {
  const HighScoreTable d = DefaultHighScores();
  EXPECT_EQ(BuildTableText(d), kDefaultTableText);
  std::string text = "A.1.junk||.300|E.";
  for (int i = 5; i <= 11; ++i) text += "|N" + std::to_string(i) + "." + std::to_string(i);
  const HighScoreTable t = ParseTableText(text);
  EXPECT_EQ(std::tuple(t(1), t(2), t(3), t(4), t(10)),
            std::tuple(HighScoreEntry{1, "A"}, d(2), HighScoreEntry{300, "Pumble Oatcake"}, HighScoreEntry{140, "E"},
                       HighScoreEntry{10, "N10"}));
  HighScoreTable named = d;
  named(3) = {160, "a.b|c"};
  const HighScoreTable back = ParseTableText(BuildTableText(named));
  EXPECT_EQ(back(3), (HighScoreEntry{160, "a?b?c"}));
  EXPECT_EQ(back(4), d(4));
}

TEST(TableText, ScoresAreWhole32BitDecimalsElseTheWholeTableIsTheDefault) {
  EXPECT_EQ(ParseTableText("A. 42 ")(1).Score, 42);
  EXPECT_EQ(ParseTableText("A.-2147483648")(1).Score, -2147483647 - 1);
  for (const char* bad : {"A.1|B.2|C.3|D.4|E.five", "A.2147483648", "A.1e3", "A.0x10", "A.1 2", "A.+",
                          "A.\xC2\xA0" "5"}) {
    EXPECT_EQ(ParseTableText(bad), DefaultHighScores()) << bad;
    EXPECT_FALSE(TryParseTableText(bad).has_value()) << bad;
  }
}

}  // namespace
}  // namespace zbx
