// The scoreboard in the registry: what start-up makes of what is stored or of a store
// that cannot keep anything, a save that merges with what another game stored meanwhile,
// a kill at the end of a game; and the window's text box as the export's output.
#include <sys/stat.h>

#include <string>
#include <vector>

#include "flow/startup_exit.h"
#include "flow/text_box_output.h"
#include "game/scoreboard.h"
#include "platform/winreg_fixture.h"
#include "registry/cls_registry_access.h"
#include "scores/registry_storage.h"
#include "scores/scramble.h"
#include "support/flow_fixture.h"

namespace zbx::test {
namespace {

std::string StoredText(win::RegistryApi& store) {
  return UnscrambleText(clsRegistryAccess(store).ReadString(std::string(kScoresPath), std::string(kScoresValue)));
}

class StoredScores : public FlowTest {
 protected:
  void Store(std::string_view tableText) {
    clsRegistryAccess r(*store);
    r.CreateKeyIfDoesntExists(kTrue);
    ASSERT_NE(r.WriteString(std::string(kScoresPath), std::string(kScoresValue), ScrambleText(tableText)), 0);
  }
  const HighScoreEntry& At(int place) { return game.s.HighScores(place); }
  std::string LoadOn(const std::string& path) {
    store = win::OpenRegistryStore(path);
    game.registryStore = store.get();
    testing::internal::CaptureStderr();
    Load();
    return testing::internal::GetCapturedStderr();
  }
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
    EXPECT_TRUE(platform.boxes.empty()) << "nobody is asked";
  }
};

// Missing parts come from the default entry of the same place; a read-only store is read
// and one line on stderr says that nothing new is stored.
TEST_F(StoredScores, StartUpReadsWhatIsStoredAndSaysWhenNothingCanBeStored) {
  win::test::TempDir dir;
  {
    auto writable = win::OpenRegistryStore(dir / "registry.db");
    clsRegistryAccess r(*writable);
    r.CreateKeyIfDoesntExists(kTrue);
    r.WriteString(std::string(kScoresPath), std::string(kScoresValue), ScrambleText("Zed.500|Bare|.300"));
  }
  ::chmod((dir / "registry.db").c_str(), 0400);
  EXPECT_EQ(LoadOn(dir / "registry.db"),
            "zorbanix: the registry store " + dir / "registry.db" +
                " is read-only (the file is read-only); the scoreboard will not be stored\n");
  // A bare name takes the default score, an empty one the default name, a missing entry
  // the default one.
  EXPECT_EQ(std::tuple(At(1), At(2), At(3), At(10), form.lblHS.Caption()),
            std::tuple(HighScoreEntry{500, "Zed"}, HighScoreEntry{180, "Bare"}, HighScoreEntry{300, "Pumble Oatcake"},
                       HighScoreEntry{20, "Gramps Wobble"}, "500  (Zed)"));
  EXPECT_EQ(LoadOn(":memory:"), "") << "a usable store says nothing";
  EXPECT_EQ(clsRegistryAccess(*store).ValueExists(std::string(kScoresPath), std::string(kScoresValue)), kFalse)
      << "a first run writes nothing";
}

// Saving places this run's entries into the table stored by then, which becomes the
// table played, and loads back unchanged.
TEST_F(StoredScores, SavingMergesWithWhatIsStoredByThenAndLoadsBack) {
  Load();
  RecordScore(game, "150", " Sp ace ");
  RecordScore(game, "30", "\xc3\xa9t\xc3\xa9");  // in at place 10 here, pushed out by what is stored later
  RecordScore(game, "60", "\xc3\xa9t\xc3\xa9");  // été: code-page letters survive
  Store("Zed.500|Yve.400|Xan.300");  // another game saved meanwhile
  SaveHighScores(game);
  EXPECT_EQ(StoredText(*store), "Zed.500|Yve.400|Xan.300| Sp ace .150|Vix.140|Dov.120|mirra.100|Kror.80|"
                                "\xc3\xa9t\xc3\xa9.60|Blix.60");
  const HighScoreTable saved = game.s.HighScores;  // the table now is the one written
  EXPECT_EQ(BuildTableText(saved), StoredText(*store));
  game.s.HighScores = DefaultHighScores();
  LoadHighScores(game);
  EXPECT_EQ(game.s.HighScores, saved);
}

// A kill (SIGTERM, SIGINT, SIGHUP) during the waits that show the end of a game (a
// tilt's blinking panel, the explosion of the bomb that took the last life) saves a
// table that holds that game.
TEST_F(StoredScores, AKillDuringTiltsBlinkKeepsTheScore) {
  KilledWhileTheGameEnds("99998", "25", {0.99, 0.0, 0.5});  // a planet of class 1
  EXPECT_EQ(ParseTableText(StoredText(*store))(1), (HighScoreEntry{99999, "Ann"}));
}

TEST_F(StoredScores, AKillDuringTheLastExplosionKeepsTheScore) {
  KilledWhileTheGameEnds("150", "1", {0.04, 0.0, 0.99, 0.5});  // a bomb of class 5
  EXPECT_EQ(ParseTableText(StoredText(*store))(4), (HighScoreEntry{151, "Ann"}));
}

// A whole program on a store file.
struct GameOnFile {
  explicit GameOnFile(const std::string& file) : store(win::OpenRegistryStore(file)) {
    game.registryStore = store.get();
    BindGame(game);
    form.on.Load();
  }
  std::shared_ptr<win::RegistryApi> store;
  Form1 form;
  FakePlatform platform;
  Game game{form, platform};
};

// Both loaded before either saved, with equal scores: both are kept, and the one saved
// later ranks higher, as a later recording would.
TEST(TwoGamesOnOneStore, BothScoresAreKept) {
  win::test::TempDir dir;
  GameOnFile ann(dir / "registry.db"), bob(dir / "registry.db");
  RecordScore(ann.game, "150", "Ann");
  RecordScore(bob.game, "150", "Bob");
  EndWithoutAsking(ann.game);
  EndWithoutAsking(bob.game);
  const std::string top = "quandrovix.200|T T Venkrallo.180|Pumble Oatcake.160|Bob.150|Ann.150|Vix.140|";
  EXPECT_EQ(StoredText(*ann.store).substr(0, top.size()), top);
}

// The window's text box as the export's output: it shows each key as it is written,
// after the window's pending events have had their turn.
TEST_F(StoredScores, TheTextBoxShowsEveryKeyPathOfAnExportAfterAnEventPass) {
  clsRegistryAccess reg(*store);
  reg.CreateKey("HKCU\\Software\\Demo\\Sub");
  std::vector<std::string> seen;  // what the box held when each event pass ran
  platform.onDoEvents = [&] { seen.push_back(form.txtCheat.Text()); };
  TextBoxOutput out(form.txtCheat, platform);
  win::test::TempDir dir;
  EXPECT_EQ(reg.ExportToReg("HKCU\\Software\\Demo", dir / "out.reg", &out), 1);
  EXPECT_EQ(seen, (std::vector<std::string>{"", "HKEY_CURRENT_USER\\Software\\Demo"}));
  EXPECT_EQ(form.txtCheat.Text(), "HKEY_CURRENT_USER\\Software\\Demo\\Sub");
}

}  // namespace
}  // namespace zbx::test
