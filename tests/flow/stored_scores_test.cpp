// The scoreboard in the registry: what start-up makes of what is stored, and a save
// that loads back unchanged.
#include "flow/startup_exit.h"
#include "flow_fixture.h"
#include "registry/cls_registry_access.h"
#include "scores/scramble.h"
#include "scores/storage.h"
#include "scores/table_text.h"

namespace zbx::test {
namespace {

class StoredScores : public FlowTest {
 protected:
  void Store(std::string_view tableText) {
    clsRegistryAccess r(*store);
    r.CreateKeyIfDoesntExists(kTrue);
    ASSERT_NE(r.WriteString(std::string(kScoresPath), std::string(kScoresValue),
                            ScrambleText(tableText)),
              0);
  }
  std::string Stored() {
    clsRegistryAccess r(*store);
    return UnscrambleText(r.ReadString(std::string(kScoresPath), std::string(kScoresValue)));
  }
  const HighScoreEntry& At(int place) { return g.s.HighScores(place); }
};

TEST_F(StoredScores, FirstRunUsesTheDefaultTableAndWritesNothing) {
  Load();
  EXPECT_EQ(g.s.HighScores, DefaultHighScores());
  EXPECT_EQ(At(1).Name, "quandrovix");
  EXPECT_EQ(At(10).Score, 20);
  clsRegistryAccess r(*store);
  EXPECT_EQ(r.ValueExists(std::string(kScoresPath), std::string(kScoresValue)), kFalse);
}

TEST_F(StoredScores, MissingPartsComeFromTheDefaultEntryOfTheSamePlace) {
  Store("Zed.500|Bare|.300|Q.99999");
  Load();
  EXPECT_EQ(At(1), (HighScoreEntry{500, "Zed"}));
  EXPECT_EQ(At(2), (HighScoreEntry{180, "Bare"}));            // bare name: default score
  EXPECT_EQ(At(3), (HighScoreEntry{300, "Pumble Oatcake"}));  // empty name: default name
  EXPECT_EQ(At(4), (HighScoreEntry{99999, "Q"}));
  EXPECT_EQ(At(5), (HighScoreEntry{120, "Dov"}));
  EXPECT_EQ(At(10), (HighScoreEntry{20, "Gramps Wobble"}));
  EXPECT_EQ(form.lblHS.Caption(), "500  (Zed)");
}

TEST_F(StoredScores, AScoreOfLettersMakesTheWholeTableTheDefault) {
  Store("Zed.500|A.1|B.2|C.3|E.lots");
  Load();
  EXPECT_EQ(g.s.HighScores, DefaultHighScores());
}

TEST_F(StoredScores, SaveThenLoadGivesTheSameTable) {
  Load();
  g.s.HighScores(3) = {155, " Sp ace "};
  g.s.HighScores(7) = {66, "\xc3\xa9t\xc3\xa9"};  // été: code-page letters survive
  const HighScoreTable played = g.s.HighScores;
  SaveHighScores(g);
  EXPECT_EQ(Stored(),
            "quandrovix.200|T T Venkrallo.180| Sp ace .155|Vix.140|Dov.120|mirra.100|"
            "\xc3\xa9t\xc3\xa9.66|Blix.60|Oona.40|Gramps Wobble.20");

  Form1 form2;
  FakePlatform platform2;
  Game g2{form2, platform2};
  g2.registryStore = store.get();
  BindGame(g2);
  form2.on.Load();
  EXPECT_EQ(g2.s.HighScores, played);
}

TEST_F(StoredScores, DefaultTableSavesAsTheDefaultText) {
  Load();
  SaveHighScores(g);
  EXPECT_EQ(Stored(), kDefaultTableText);
}

TEST_F(StoredScores, AKillThatNobodyCanAnswerStillSaves) {
  StartRunning();
  g.s.HighScores(1) = {777, "Ann"};
  EndWithoutAsking(g);
  EXPECT_TRUE(platform.ended);
  EXPECT_TRUE(platform.boxes.empty());
  EXPECT_EQ(Stored().substr(0, 8), "Ann.777|");
}

}  // namespace
}  // namespace zbx::test
