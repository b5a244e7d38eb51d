// The scoreboard in the registry: what start-up makes of what is stored, and a save
// that loads back unchanged.
#include "flow/startup_exit.h"
#include "registry/cls_registry_access.h"
#include "scores/scramble.h"
#include "scores/storage.h"
#include "support/game_fixture.h"

namespace zbx::test {
namespace {

class StoredScores : public FlowTest {
 protected:
  void Store(std::string_view tableText) {
    clsRegistryAccess r(*store);
    r.CreateKeyIfDoesntExists(kTrue);
    ASSERT_NE(r.WriteString(std::string(kScoresPath), std::string(kScoresValue), ScrambleText(tableText)), 0);
  }
  std::string Stored() {
    clsRegistryAccess r(*store);
    return UnscrambleText(r.ReadString(std::string(kScoresPath), std::string(kScoresValue)));
  }
  const HighScoreEntry& At(int place) { return game.s.HighScores(place); }
  // A game from the given captions, its first object launched with the given draws and
  // caught; a kill arrives at the first wait.
  void KilledWhileTheGameEnds(const char* score, const char* lifes, std::initializer_list<double> draws) {
    Play();
    form.lblScore.SetCaption(score);
    form.lblLifes.SetCaption(lifes);
    platform.draws = draws;
    Ticks(1);
    form.picBasket.SetLeft(game.s.ObjectLeft);
    platform.onDoEvents = [&] { EndWithoutAsking(game); };
    for (int i = 0; i < 1000 && !platform.ended; ++i) Ticks(1);
    ASSERT_TRUE(platform.ended);
  }
};

TEST_F(StoredScores, FirstRunUsesTheDefaultTableAndWritesNothing) {
  game.s.HighScores(1) = {1, "stale"};
  Load();
  EXPECT_EQ(game.s.HighScores, DefaultHighScores());
  clsRegistryAccess r(*store);
  EXPECT_EQ(r.ValueExists(std::string(kScoresPath), std::string(kScoresValue)), kFalse);
}

TEST_F(StoredScores, MissingPartsComeFromTheDefaultEntryOfTheSamePlaceAndLettersFromNoPlace) {
  Store("Zed.500|Bare|.300|Q.99999");
  Load();
  EXPECT_EQ(At(1), (HighScoreEntry{500, "Zed"}));
  EXPECT_EQ(At(2), (HighScoreEntry{180, "Bare"}));            // bare name: default score
  EXPECT_EQ(At(3), (HighScoreEntry{300, "Pumble Oatcake"}));  // empty name: default name
  EXPECT_EQ(At(4), (HighScoreEntry{99999, "Q"}));
  EXPECT_EQ(At(5), (HighScoreEntry{120, "Dov"}));             // missing entries: default ones
  EXPECT_EQ(At(10), (HighScoreEntry{20, "Gramps Wobble"}));
  EXPECT_EQ(form.lblHS.Caption(), "500  (Zed)");
  Store("Zed.500|A.1|B.2|C.3|E.lots");  // letters for a score: the whole default table
  LoadHighScores(game);
  EXPECT_EQ(game.s.HighScores, DefaultHighScores());
}

TEST_F(StoredScores, SaveThenLoadGivesTheSameTable) {
  Load();
  game.s.HighScores(3) = {155, " Sp ace "};
  game.s.HighScores(7) = {66, "\xc3\xa9t\xc3\xa9"};  // été: code-page letters survive
  const HighScoreTable played = game.s.HighScores;
  SaveHighScores(game);
  EXPECT_EQ(Stored(),
            "quandrovix.200|T T Venkrallo.180| Sp ace .155|Vix.140|Dov.120|mirra.100|"
            "\xc3\xa9t\xc3\xa9.66|Blix.60|Oona.40|Gramps Wobble.20");
  game.s.HighScores = DefaultHighScores();
  LoadHighScores(game);
  EXPECT_EQ(game.s.HighScores, played);
}

// A kill during the waits that show the end of a game (a tilt's blinking panel, the
// explosion of the bomb that took the last life) saves a table that holds that game.
TEST_F(StoredScores, AKillDuringTiltsBlinkKeepsTheScore) {
  KilledWhileTheGameEnds("99998", "25", {0.99, 0.0, 0.5});  // a planet of class 1
  EXPECT_EQ(ParseTableText(Stored())(1), (HighScoreEntry{99999, "Ann"}));
}

TEST_F(StoredScores, AKillDuringTheLastExplosionKeepsTheScore) {
  KilledWhileTheGameEnds("150", "1", {0.04, 0.0, 0.99, 0.5});  // a bomb of class 5
  EXPECT_EQ(ParseTableText(Stored())(4), (HighScoreEntry{151, "Ann"}));
}

TEST_F(StoredScores, AKillThatNobodyCanAnswerStillSaves) {
  Play();
  game.s.HighScores(1) = {777, "Ann"};
  EndWithoutAsking(game);
  EXPECT_TRUE(platform.ended);
  EXPECT_TRUE(platform.boxes.empty());
  EXPECT_EQ(Stored().substr(0, 8), "Ann.777|");
}

}  // namespace
}  // namespace zbx::test
