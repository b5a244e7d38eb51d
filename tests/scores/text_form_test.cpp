// The text form of the table: GetField, the scrambling, parsing and building.
#include <gtest/gtest.h>

#include <string>

#include "platform/codepage.h"
#include "scores/get_field.h"
#include "scores/scramble.h"
#include "scores/table_text.h"

namespace zbx {
namespace {

using namespace std::string_literals;

TEST(GetField, CountsFieldsFromOne) {
  EXPECT_EQ(GetField("a|b|c", "|", 1), "a");
  EXPECT_EQ(GetField("a|b|c", "|", 3), "c");
  EXPECT_EQ(GetField("whole", "|", 1), "whole");
  EXPECT_EQ(GetField("a.b.c", ".", 2), "b");
}

TEST(GetField, EmptyFieldsAndMissingIndexesGiveEmpty) {
  EXPECT_EQ(GetField("a||c", "|", 2), "");
  EXPECT_EQ(GetField("a||c", "|", 3), "c");
  EXPECT_EQ(GetField("|a", "|", 1), "");
  EXPECT_EQ(GetField("a|", "|", 2), "");
  EXPECT_EQ(GetField("a|b", "|", 3), "");
  EXPECT_EQ(GetField("a|b", "|", 0), "");
  EXPECT_EQ(GetField("a|b", "|", -1), "");
  EXPECT_EQ(GetField("", "|", 1), "");
  EXPECT_EQ(GetField("a|b", "", 1), "") << "an empty delimiter cuts nothing";
  EXPECT_EQ(GetField("a|b", "|", 32767), "");
}

TEST(Scramble, ShiftsCodesBy21) {
  EXPECT_EQ(ScrambleText("abc"), "vwx");
  EXPECT_EQ(UnscrambleText("vwx"), "abc");
  EXPECT_EQ(ScrambleText(""), "");
  // Codes are code-page 1252 codes: "a" + 21 ... and 200 (È) + 21 = 221 (Ý).
  EXPECT_EQ(ScrambleText("\xC3\x88"), "\xC3\x9D");
  // 107 + 21 = 128, which is the euro sign in the code page.
  EXPECT_EQ(ScrambleText("k"), "\xE2\x82\xAC");
  EXPECT_EQ(UnscrambleText("\xE2\x82\xAC"), "k");
}

TEST(Scramble, LowCodesUnscrambleToCodeZero) {
  EXPECT_EQ(UnscrambleText("\n"), "\0"s);
  EXPECT_EQ(UnscrambleText("\x14\x15"), "\0\0"s);
}

TEST(Scramble, EveryShiftableCodeRoundTrips) {
  std::string all;
  for (int code = 0; code < 235; ++code) AppendUtf8(all, FromAnsiCode(static_cast<std::uint8_t>(code)));
  EXPECT_EQ(UnscrambleText(ScrambleText(all)), all);
}

TEST(Scramble, UnshiftableCharactersAreStoredAsQuestionMarks) {
  // ë is code 235, ÿ 255; the snowman has no code at all.
  EXPECT_EQ(UnscrambleText(ScrambleText("Zo\xC3\xAB")), "Zo?");
  EXPECT_EQ(UnscrambleText(ScrambleText("\xC3\xBF\xE2\x98\x83x")), "??x");
  EXPECT_EQ(UnscrambleText(ScrambleText("\xC3\xAA")), "\xC3\xAA") << "234 still shifts";
  EXPECT_EQ(UnscrambleText(ScrambleText("\xFF")), "?") << "invalid UTF-8";
}

TEST(TableText, DefaultTable) {
  const HighScoreTable t = DefaultHighScores();
  EXPECT_EQ(t(1), (HighScoreEntry{200, "quandrovix"}));
  EXPECT_EQ(t(2), (HighScoreEntry{180, "T T Venkrallo"}));
  EXPECT_EQ(t(10), (HighScoreEntry{20, "Gramps Wobble"}));
  EXPECT_EQ(BuildTableText(t), kDefaultTableText);
}

TEST(TableText, MissingPartsComeFromTheDefaultEntryOfThePlace) {
  const HighScoreTable single = ParseTableText("Zed.500");
  EXPECT_EQ(single(1), (HighScoreEntry{500, "Zed"}));
  EXPECT_EQ(single(2), (HighScoreEntry{180, "T T Venkrallo"}));
  EXPECT_EQ(single(10), (HighScoreEntry{20, "Gramps Wobble"}));

  const HighScoreTable gaps = ParseTableText("A.1|Bare|.300||E.");
  EXPECT_EQ(gaps(2), (HighScoreEntry{180, "Bare"}));
  EXPECT_EQ(gaps(3), (HighScoreEntry{300, "Pumble Oatcake"}));
  EXPECT_EQ(gaps(4), (HighScoreEntry{140, "Vix"}));
  EXPECT_EQ(gaps(5), (HighScoreEntry{120, "E"}));
}

TEST(TableText, ExtraFieldsAndEntriesAreIgnored) {
  std::string text = "A.1.junk";
  for (int i = 2; i <= 11; ++i) text += "|N" + std::to_string(i) + "." + std::to_string(i);
  const HighScoreTable t = ParseTableText(text);
  EXPECT_EQ(t(1), (HighScoreEntry{1, "A"}));
  EXPECT_EQ(t(10), (HighScoreEntry{10, "N10"}));
}

TEST(TableText, ScoresAreWhole32BitDecimalsWithBlanksAround) {
  EXPECT_EQ(ParseTableText("A. 42 ")(1).Score, 42);
  EXPECT_EQ(ParseTableText("A.-7")(1).Score, -7);
  EXPECT_EQ(ParseTableText("A.99999")(1).Score, 99999);
  EXPECT_EQ(ParseTableText("A.2147483647")(1).Score, 2147483647);
  EXPECT_EQ(ParseTableText("A.-2147483648")(1).Score, -2147483647 - 1);
}

TEST(TableText, AScoreThatIsNoNumberMakesTheWholeTableTheDefault) {
  for (const char* bad : {"A.1|B.2|C.3|D.4|E.five", "A.2147483648", "A.1e3", "A.0x10", "A.1 2", "A.+",
                          "A.\xC2\xA0" "5"}) {
    EXPECT_EQ(ParseTableText(bad), DefaultHighScores()) << bad;
    EXPECT_FALSE(TryParseTableText(bad).has_value()) << bad;
  }
}

TEST(TableText, BuildThenParseGivesTheSameTable) {
  HighScoreTable t = DefaultHighScores();
  t(1) = {99999, " Ann "};
  t(7) = {0, "\xC3\xA9t\xC3\xA9"};
  EXPECT_EQ(ParseTableText(UnscrambleText(ScrambleText(BuildTableText(t)))), t);
}

TEST(TableText, DelimitersInNamesCannotSplitTheirEntry) {
  HighScoreTable t = DefaultHighScores();
  t(3) = {160, "a.b|c"};
  const HighScoreTable back = ParseTableText(BuildTableText(t));
  EXPECT_EQ(back(3), (HighScoreEntry{160, "a?b?c"}));
  EXPECT_EQ(back(4), t(4));
}

}  // namespace
}  // namespace zbx
