// The two ends of a game, Game Over and Tilt, with and without a place on the board and
// what the player may do during their waits; recording a score and the scoreboard panel;
// and the sounds they play.
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "game/end_of_game.h"
#include "game/scoreboard.h"
#include "game/sound.h"
#include "scores/table_text.h"
#include "support/game_fixture.h"

namespace zbx::test {
namespace {

class EndOfGameTest : public GameTest {
 protected:
  void SetUp() override {
    StartRunning("10", "0");
    form.lblNew.SetEnabled(false);
    form.lblPause.SetEnabled(true);
    form.lblStart.SetEnabled(true);  // whatever enabled it, no game starts from an end panel
    form.picBasket.SetLeft(100);
    form.picPlanet.SetTop(5000);
    form.txtName.SetText("Ann");
    game.s.HighScores = DefaultHighScores();
  }
  // Only New takes a click, no timer and no game; the planet at the top, the basket centred.
  void ExpectBetweenGames() {
    EXPECT_EQ(std::tuple(form.lblNew.Enabled(), form.lblStart.Enabled(), form.lblPause.Enabled(),
                         form.timCounter.Enabled(), game.s.GameRunning, form.picPlanet.Top(), form.picBasket.Left()),
              std::tuple(true, false, false, false, kFalse, 840.0, (form.ScaleWidth() - form.picBasket.Width()) / 2));
  }
  void ExpectRowColour(int place, Rgb colour) {
    for (const Control* c : {&form.lblHSName(place), &form.lblHSScore(place), &form.lblHSPlace(place)})
      EXPECT_EQ(c->ForeColor(), colour) << c->name << place;
  }
  // Records score under name as the end of a game does; true when it took a place.
  bool Record(const std::string& score, const std::string& name) {
    form.lblScore.SetCaption(score);
    form.txtName.SetText(name);
    game.s.ScoreRecorded = kFalse;
    RecordHighScore(game);
    return game.s.ScoreRecorded == kTrue;
  }
  // Runs GameOver or Tilt for a score with a place; at the given wait (1: the first) the
  // player does `during`.
  void EndWith(void (*end)(Game&), int atWait, const std::function<void()>& during) {
    form.lblScore.SetCaption(end == Tilt ? "99999" : "150");
    int waits = 0;
    platform.onDoEvents = [&] {
      if (++waits == atWait) during();
    };
    end(game);
    platform.onDoEvents = nullptr;
  }
};

TEST_F(EndOfGameTest, GameOverOpensTheBoardOnlyForARecordedScore) {
  game.s.ScoreRecorded = kTrue;  // left over from an earlier game
  form.Label2(14).SetCaption("Tilt!");  // how the game before ended
  GameOver(game);                       // 10 points earn no place
  ExpectBetweenGames();
  EXPECT_EQ(form.Label2(14).Caption(), "Game Over");
  EXPECT_TRUE(form.frameGameOver.Visible());
  EXPECT_EQ(platform.doEventsCalls, 0) << "no wait, no board";

  SetUp();
  form.lblScore.SetCaption("150");
  bool panelShownDuringWait = false;
  platform.onDoEvents = [&] { panelShownDuringWait = form.frameGameOver.Visible(); };
  const double start = platform.now;
  GameOver(game);
  ExpectBetweenGames();
  EXPECT_EQ(game.s.RecordedPlace, 4);
  ExpectRowColour(4, rules::kRecordedRow);
  ExpectRowColour(3, palette::kWhite);
  EXPECT_TRUE(panelShownDuringWait);
  EXPECT_GE(platform.now - start, 1.0) << "a 2000 ms wait lasts at least a second";
  EXPECT_EQ(std::pair(form.frameGameOver.Visible(), form.framScores.Visible()), std::pair(false, true));
}

TEST_F(EndOfGameTest, TiltPlaysTheExplosionEvenWithSoundOffBlinksAndRecords) {
  game.s.SoundOn = kFalse;
  form.lblScore.SetCaption("99999");
  platform.now = 100.2;
  std::vector<bool> panelDuringWaits;
  platform.onDoEvents = [&] { panelDuringWaits.push_back(form.frameGameOver.Visible()); };
  Tilt(game);
  ExpectBetweenGames();
  EXPECT_EQ(platform.playedIds, std::vector<int>{3});
  EXPECT_EQ(form.Label2(14).Caption(), "Tilt!");
  EXPECT_EQ(panelDuringWaits, (std::vector<bool>{true, false, true}));
  EXPECT_EQ(game.s.RecordedPlace, 1);
  ExpectRowColour(1, rules::kRecordedRow);
  EXPECT_EQ(std::pair(form.frameGameOver.Visible(), form.framScores.Visible()), std::pair(false, true));
}

// A new game opened during any wait of an end has the field: the end neither shows its
// panel again nor opens the board, and the row it pointed out is white again. The cheat
// console, up as the last wait ends, keeps the board closed; the end panel goes all the same.
TEST_F(EndOfGameTest, WhatOpensDuringAWaitOfTheEndKeepsTheBoardClosed) {
  const struct {
    void (*end)(Game&);
    int wait;  // Tilt: 1 and 2 blink the panel, 3 points out the row
    bool cheat;
  } cases[] = {{GameOver, 1, false}, {Tilt, 1, false},    {Tilt, 2, false},
               {Tilt, 3, false},     {GameOver, 1, true}, {Tilt, 3, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << (c.end == Tilt ? "Tilt" : "GameOver") << " wait " << c.wait << " cheat "
                                    << c.cheat);
    SetUp();
    const int place = c.end == GameOver ? 4 : 1;
    form.frameCheat.SetVisible(false);
    bool rowPointedOut = false;
    EndWith(c.end, c.wait, [&] {
      rowPointedOut = form.lblHSName(place).ForeColor() == rules::kRecordedRow;
      if (c.cheat) {
        form.frameCheat.SetVisible(true);
      } else {  // what the new-game panel does to the ended game's field as it opens
        ++game.epoch;
        form.frameGameOver.SetVisible(false);
      }
    });
    EXPECT_EQ(game.s.RecordedPlace, place) << "recorded before the wait";
    EXPECT_EQ(rowPointedOut, c.end == GameOver || c.wait == 3);
    ExpectRowColour(place, c.cheat ? rules::kRecordedRow : palette::kWhite);
    EXPECT_EQ(std::tuple(form.frameGameOver.Visible(), form.framScores.Visible(), game.s.ScoresShown),
              std::tuple(false, false, kFalse));
  }
}

// Recording a finished game, the scoreboard panel, and loading and saving the table
// through the game's score storage.
TEST_F(EndOfGameTest, ScoreEntersAtItsPlaceTiesGoAboveAndTooLowChangesNothing) {
  const HighScoreTable before = game.s.HighScores;
  ASSERT_TRUE(Record("150", "  Ann "));
  EXPECT_EQ(game.s.RecordedPlace, 4);
  for (int i = 1; i <= 10; ++i) {  // the last one drops out
    const HighScoreEntry expected = i < 4 ? before(i) : i == 4 ? HighScoreEntry{150, "  Ann "} : before(i - 1);
    EXPECT_EQ(game.s.HighScores(i), expected) << i;
  }
  ASSERT_TRUE(Record("200", "New"));
  EXPECT_EQ(std::tuple(game.s.RecordedPlace, game.s.HighScores(2).Name), std::tuple(1, "quandrovix"));
  EXPECT_FALSE(Record("59", "Low")) << "the last place holds 60";
  EXPECT_EQ(game.s.HighScores(10).Score, 60);
  ASSERT_TRUE(Record("60", "Low"));
  EXPECT_EQ(game.s.RecordedPlace, 10);
  ASSERT_TRUE(Record("500", "\vA.b|c\t "));  // a pasted name: the box does not refuse these
  EXPECT_EQ(game.s.HighScores(1).Name, "?A?b?c? ") << "recorded as the stored table holds it";
}

TEST_F(EndOfGameTest, ShowFillsTheRowsAndHideTurnsThemWhite) {
  form.frameGameOver.SetVisible(true);
  for (Control* c : {&form.lblHSName(4), &form.lblHSPlace(4), &form.lblHSScore(4)})
    c->SetForeColor(rules::kRecordedRow);
  ShowScoreboard(game);
  EXPECT_EQ(std::tuple(form.lblHSName(1).Caption(), form.lblHSScore(10).Caption(), form.frameGameOver.Visible(),
                       form.Frame1.Enabled(), form.lblHSName(4).ForeColor()),
            std::tuple("quandrovix", "20", false, false, rules::kRecordedRow));
  HideScoreboard(game);
  EXPECT_TRUE(form.Frame1.Enabled());
  for (int i = 1; i <= 10; ++i) ExpectRowColour(i, palette::kWhite);
}

// PlaySoundResource loads a fresh copy on every call and keeps it until the next sound
// has started, for a player that keeps no reference of its own.
TEST(SoundTest, LoadsEveryTimeAndKeepsTheBytesUntilTheNextSoundHasStarted) {
  struct ForgetfulPlayer : FakePlatform {
    void PlayWave(WaveBytes wave) override {
      previousAlive.push_back(!previous.expired());
      previous = wave;
    }
    std::weak_ptr<const std::vector<std::uint8_t>> previous;
    std::vector<bool> previousAlive;
  } player;
  Form1 form;
  Game game{form, player};
  PlaySoundResource(game, 2);
  const auto first = player.previous;
  PlaySoundResource(game, 2);
  EXPECT_EQ(std::tuple(*game.currentSound, player.resourceLoads, player.previousAlive, first.expired()),
            std::tuple(std::vector<std::uint8_t>{2}, 2, std::vector<bool>{false, true}, true));
}

}  // namespace
}  // namespace zbx::test
