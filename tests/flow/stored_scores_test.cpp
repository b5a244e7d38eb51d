// The scoreboard in the registry: what start-up makes of what is stored, and a save
// that loads back unchanged.
#include <sys/wait.h>
#include <unistd.h>

#include "flow/startup_exit.h"
#include "game/scoreboard.h"
#include "platform/winreg_fixture.h"
#include "registry/cls_registry_access.h"
#include "scores/registry_storage.h"
#include "scores/scramble.h"
#include "support/flow_fixture.h"

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
    EXPECT_TRUE(platform.boxes.empty()) << "nobody is asked";
  }
};

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
  RecordScore(game, "155", " Sp ace ");
  RecordScore(game, "66", "\xc3\xa9t\xc3\xa9");  // été: code-page letters survive
  const HighScoreTable played = game.s.HighScores;
  SaveHighScores(game);
  EXPECT_EQ(game.s.HighScores, played);  // alone on the store: the table played is the one saved
  EXPECT_EQ(Stored(),
            "quandrovix.200|T T Venkrallo.180|Pumble Oatcake.160| Sp ace .155|Vix.140|Dov.120|"
            "mirra.100|Kror.80|\xc3\xa9t\xc3\xa9.66|Blix.60");
  game.s.HighScores = DefaultHighScores();
  LoadHighScores(game);
  EXPECT_EQ(game.s.HighScores, played);
}

TEST_F(StoredScores, SavingPlacesThisRunsEntriesIntoTheTableStoredByThen) {
  Load();
  RecordScore(game, "150", "Ann");
  RecordScore(game, "30", "Low");  // in at place 10 here, pushed out by what is stored later
  Store("Zed.500|Yve.400|Xan.300");  // another game saved meanwhile
  SaveHighScores(game);
  EXPECT_EQ(Stored(), "Zed.500|Yve.400|Xan.300|Ann.150|Vix.140|Dov.120|mirra.100|Kror.80|Blix.60|Oona.40");
  EXPECT_EQ(At(1), (HighScoreEntry{500, "Zed"}));  // the table now is the one written
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

// A store that counts its transactions, and can refuse them (held past its wait).
class CountingStore : public win::RegistryApi {
 public:
  explicit CountingStore(win::RegistryApi& inner) : inner_(inner) {}
  int transactions = 0, callsInside = 0, callsOutside = 0;
  bool refuse = false;
  win::LONG Transact(const std::function<win::LONG()>& body) override {
    ++transactions;
    if (refuse) return win::ERROR_REGISTRY_IO_FAILED;
    inside_ = true;
    const win::LONG rc = inner_.Transact(body);
    inside_ = false;
    return rc;
  }
#define ZBX_FORWARD(name, params, args)             \
  win::LONG name params override {                  \
    ++(inside_ ? callsInside : callsOutside);       \
    return inner_.name args;                        \
  }
  ZBX_FORWARD(RegOpenKeyExA, (win::HKEY k, win::LPCSTR s, win::DWORD o, win::REGSAM m, win::PHKEY r), (k, s, o, m, r))
  ZBX_FORWARD(RegOpenKeyA, (win::HKEY k, win::LPCSTR s, win::PHKEY r), (k, s, r))
  ZBX_FORWARD(RegCreateKeyA, (win::HKEY k, win::LPCSTR s, win::PHKEY r), (k, s, r))
  ZBX_FORWARD(RegCloseKey, (win::HKEY k), (k))
  ZBX_FORWARD(RegDeleteKeyA, (win::HKEY k, win::LPCSTR s), (k, s))
  ZBX_FORWARD(RegEnumKeyExA, (win::HKEY k, win::DWORD i, win::LPSTR n, win::LPDWORD c, win::LPDWORD r, win::LPSTR cl, win::LPDWORD cc, win::PFILETIME t), (k, i, n, c, r, cl, cc, t))
  ZBX_FORWARD(RegEnumValueA, (win::HKEY k, win::DWORD i, win::LPSTR n, win::LPDWORD c, win::LPDWORD r, win::LPDWORD t, win::LPBYTE d, win::LPDWORD cb), (k, i, n, c, r, t, d, cb))
  ZBX_FORWARD(RegQueryValueExA, (win::HKEY k, win::LPCSTR n, win::LPDWORD r, win::LPDWORD t, win::LPBYTE d, win::LPDWORD cb), (k, n, r, t, d, cb))
  ZBX_FORWARD(RegSetValueExA, (win::HKEY k, win::LPCSTR n, win::DWORD r, win::DWORD t, const win::BYTE* d, win::DWORD cb), (k, n, r, t, d, cb))
  ZBX_FORWARD(RegDeleteValueA, (win::HKEY k, win::LPCSTR n), (k, n))
#undef ZBX_FORWARD

 private:
  win::RegistryApi& inner_;
  bool inside_ = false;
};

TEST_F(StoredScores, TheSaveReadsAndWritesInOneTransactionOfTheGamesStoreOrWithoutOneWhenRefused) {
  CountingStore counting(*store);
  game.registryStore = &counting;
  Load();
  RecordScore(game, "150", "Ann");
  const int loadCalls = counting.callsOutside;
  SaveHighScores(game);
  EXPECT_EQ(counting.transactions, 1);
  EXPECT_GT(counting.callsInside, 0);
  EXPECT_EQ(counting.callsOutside, loadCalls);  // the save's reads and writes are all inside
  EXPECT_EQ(Stored().substr(0, 44), "quandrovix.200|T T Venkrallo.180|Pumble Oatc");

  counting.refuse = true;  // a store held by another past its wait still gets the save
  RecordScore(game, "170", "Bob");
  SaveHighScores(game);
  EXPECT_EQ(counting.transactions, 2);
  EXPECT_NE(Stored().find("|Bob.170|"), std::string::npos);
}

// A whole program in a child process on the store file: it starts, records score under
// name, reports on `ready`, and saves (as a kill would) when a byte arrives on `save`.
[[noreturn]] void GameProcess(const std::string& file, const char* score, const char* name, int ready, int save) {
  auto store = win::OpenRegistryStore(file);
  Form1 form;
  FakePlatform platform;
  Game game(form, platform);
  game.registryStore = store.get();
  BindGame(game);
  form.on.Load();
  RecordScore(game, score, name);
  char byte = 'r';
  if (write(ready, &byte, 1) != 1 || read(save, &byte, 1) != 1) _exit(2);
  EndWithoutAsking(game);
  _exit(platform.ended ? 0 : 3);
}

TEST(TwoGamesOnOneStore, BothScoresAreKeptWhicheverSavesFirst) {
  struct Case {
    const char *ann, *bob;  // the scores the two games record
    bool annFirst;          // which one saves first
    const char* top;        // places 1 to 6 of the stored table afterwards
  };
  const Case cases[] = {
      {"150", "170", true, "quandrovix.200|T T Venkrallo.180|Bob.170|Pumble Oatcake.160|Ann.150|Vix.140|"},
      {"150", "170", false, "quandrovix.200|T T Venkrallo.180|Bob.170|Pumble Oatcake.160|Ann.150|Vix.140|"},
      // Equal scores: the one saved later ranks higher, as a later recording would.
      {"150", "150", true, "quandrovix.200|T T Venkrallo.180|Pumble Oatcake.160|Bob.150|Ann.150|Vix.140|"},
      {"150", "150", false, "quandrovix.200|T T Venkrallo.180|Pumble Oatcake.160|Ann.150|Bob.150|Vix.140|"},
  };
  for (const Case& c : cases) {
    win::test::TempDir dir;
    const std::string file = dir / "registry.db";
    int ready[2], saveAnn[2], saveBob[2];
    ASSERT_EQ(pipe(ready) | pipe(saveAnn) | pipe(saveBob), 0);
    const pid_t ann = fork();
    if (ann == 0) GameProcess(file, c.ann, "Ann", ready[1], saveAnn[0]);
    const pid_t bob = fork();
    if (bob == 0) GameProcess(file, c.bob, "Bob", ready[1], saveBob[0]);
    char bytes[2];
    ASSERT_EQ(read(ready[0], bytes, 1) + read(ready[0], bytes + 1, 1), 2);  // both loaded and recorded
    const std::pair<pid_t, int> order[] = {{c.annFirst ? ann : bob, c.annFirst ? saveAnn[1] : saveBob[1]},
                                           {c.annFirst ? bob : ann, c.annFirst ? saveBob[1] : saveAnn[1]}};
    for (const auto& [pid, save] : order) {
      ASSERT_EQ(write(save, "s", 1), 1);
      int status = -1;
      ASSERT_EQ(waitpid(pid, &status, 0), pid);
      EXPECT_EQ(status, 0);
    }
    for (int fd : {ready[0], ready[1], saveAnn[0], saveAnn[1], saveBob[0], saveBob[1]}) close(fd);
    auto store = win::OpenRegistryStore(file);
    clsRegistryAccess r(*store);
    const std::string stored = UnscrambleText(r.ReadString(std::string(kScoresPath), std::string(kScoresValue)));
    EXPECT_EQ(stored.substr(0, std::string(c.top).size()), c.top) << c.ann << " " << c.bob << " " << c.annFirst;
  }
}

}  // namespace
}  // namespace zbx::test
