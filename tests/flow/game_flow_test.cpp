// The five states of the game flow and every way between them, the abandoned-game
// snapshot, the key table, the cheat console's key, the pointer and sound switches,
// steering at its limits, and events that arrive in the middle of a procedure.
#include <optional>

#include "flow/new_game.h"
#include "platform/rounding.h"
#include "registry/cls_registry_access.h"
#include "scores/registry_storage.h"
#include "support/flow_fixture.h"

namespace zbx::test {
namespace {

using namespace std::string_literals;

class FlowStates : public FlowTest {
 protected:
  static constexpr std::int16_t kClickStart = -1, kClickPause = -2, kClose = -3, kTick = -4;
  // A key, or one of the other events above.
  void Act(std::int16_t event) {
    if (event == kClickStart) form.lblStart.on.Click();
    else if (event == kClickPause) form.lblPause.on.Click();
    else if (event == kClose) form.QueryUnload();
    else if (event == kTick) Ticks(1);
    else Press(event);
  }
};

// Start-up opens a panel that cannot be cancelled and takes no blank name; Cancel later
// brings back the name and the controller in use.
TEST_F(FlowStates, StartUpAsksForANameAndCancelBringsBackTheOneInUse) {
  Load();
  Press(vk::kEscape);  // Esc and Cancel do nothing here
  form.lblCancel.on.Click();
  EXPECT_EQ(State(), "naming");
  form.txtName.SetText("   ");
  Press(vk::kEnter);
  EXPECT_EQ(platform.boxes.at(0).text, "You must enter your name.");
  form.txtName.SetText("  <YOUR Name> ");
  form.txtName.on.GotFocus();
  EXPECT_EQ(form.txtName.Text(), "");
  form.txtName.SetText(" <your name> ");
  form.optKeyboard.SetValue(true);
  Press(vk::kEnter);  // never focused: the placeholder is a name like any other
  EXPECT_EQ(std::tuple(form.Caption(), form.lblCancel.Enabled()), std::tuple("Zorbanix!  -   <your name> ", true));

  Press(vk::kF2);  // no game ran: Cancel restores the start-up score and lives
  form.txtName.SetText("");
  form.optMouse.SetValue(true);
  Press(vk::kEscape);
  EXPECT_EQ(std::tuple(Shown(), form.txtName.Text(), form.optKeyboard.Value(), game.s.ControlMode),
            std::tuple("0/25", " <your name> ", true, kKeyboardControl));
  EXPECT_EQ(platform.boxes.size(), 1u);
}

TEST_F(FlowStates, EveryTransitionOfTheStateTable) {
  const std::string ready = "new start pause", running = "running timer new pause",
                    paused = "running paused new pause framePaused Unpause";
  const std::optional<MsgBoxResult> none, yes = MsgBoxResult::Yes, no = MsgBoxResult::No, cancel = MsgBoxResult::Cancel;
  const std::tuple<std::int16_t, std::optional<MsgBoxResult>, std::string> steps[] = {
      {vk::kEnter, none, ready},  // OK
      {vk::kSpace, none, ready},  // nothing runs: Space and Pause change nothing
      {kClickPause, none, ready},
      {kClickStart, none, running + " launch"},
      {kTick, none, running},
      {vk::kF5, none, running},  // no second start
      {kClickPause, none, paused},  // the button pauses and resumes
      {kClickPause, none, running + " launch"},  // a new object from the top
      {kTick, none, running},
      // Help and the scoreboard over a paused game leave it paused; over a running game
      // they hold it without showing the pause, and any key closes them and resumes it.
      {vk::kSpace, none, paused},
      {vk::kF1, none, paused + " locked help"},
      {vk::kF1, none, paused},
      {vk::kF4, none, paused + " locked scores"},
      {vk::kEnter, none, paused},
      {vk::kSpace, none, running + " launch"},
      {vk::kF1, none, "running paused new pause locked help launch"},
      {vk::kSpace, none, running + " launch"},
      // A question answered No resumes the game, even from a pause (the new-game
      // question leaves the caption as it was).
      {vk::kF2, no, running + " launch"},
      {vk::kSpace, none, paused + " launch"},
      {vk::kF2, no, running + " Unpause launch"},
      {vk::kSpace, none, paused + " launch"},
      {kClose, cancel, running + " launch"},  // anything but Yes declines
      // Yes abandons the game; the next one stays paused until it starts.
      {vk::kF2, yes, "paused naming launch"},
      {vk::kEnter, none, "paused " + ready + " launch"},
      {vk::kF2, none, "paused naming launch"},  // no question
      {vk::kEscape, none, "paused " + ready + " launch"},  // Cancel
      {vk::kF5, none, running + " launch"},
  };
  Load();
  form.txtName.SetText("Ann");
  for (std::size_t i = 0; i < std::size(steps); ++i) {
    const auto& [event, answer, state] = steps[i];
    if (answer) Answer(*answer);
    Act(event);
    EXPECT_EQ(State(), state) << "step " << i;
  }
  EXPECT_EQ(platform.boxes.size(), 4u) << "only the four questions";
}

// A game abandoned on its last life comes back through Cancel with it; under the
// unlimited-lives cheat with "00" while the cheat holds, else with the starting lives.
TEST_F(FlowStates, AnAbandonedGameComesBackThroughCancelWithItsLives) {
  Play();
  form.lblScore.SetCaption("140");
  form.lblLifes.SetCaption("1");
  Answer(MsgBoxResult::Yes);
  Press(vk::kF2);
  EXPECT_EQ(Shown(), "0/25");
  Press(vk::kEscape);
  EXPECT_EQ(Shown(), "140/1");
  Press(vk::kF5);
  Ticks(1);
  EXPECT_EQ(game.s.LifesLeft, 1);
  game.s.CheatsEnabled = kTrue;
  game.s.CheatUnlimitedLifes = kTrue;
  form.lblLifes.SetCaption("00");
  Answer(MsgBoxResult::Yes);
  Press(vk::kF2);
  Press(vk::kEscape);
  EXPECT_EQ(Shown(), "140/00");
  game.s.CheatUnlimitedLifes = kFalse;
  game.s.CheatSlowMotion = kTrue;
  Press(vk::kF2);
  Press(vk::kEscape);
  EXPECT_EQ(Shown(), "140/25");
}

// Start resets what the last game left: the lives' colour, the beaten best, a pending pause.
TEST_F(FlowStates, StartResetsWhatTheLastGameLeft) {
  LoadAndName();
  form.lblLifes.SetForeColor(palette::kRed);
  game.s.HighScoreBeaten = kTrue;
  game.s.NewGamePause = kTrue;
  Press(vk::kF5);
  EXPECT_EQ(std::tuple(form.lblLifes.ForeColor(), game.s.HighScoreBeaten, game.s.NewGamePause, game.s.Paused),
            std::tuple(palette::kGreen, kFalse, kFalse, kFalse));
}

using KeyTable = FlowTest;

// Only Enter and Esc act on the new-game panel; M and S act through help and the board,
// which any other key closes; the pointer hides only in a mouse game.
TEST_F(KeyTable, PanelsTakeTheirKeysAndMAndSActThroughTheOthers) {
  Load();
  for (std::int16_t key : {vk::kF1, vk::kF2, vk::kF4, vk::kF5, vk::kSpace, vk::kM, vk::kS}) Press(key);
  EXPECT_EQ(State(), "naming");
  EXPECT_EQ(std::tuple(game.s.SoundOn, game.s.PointerVisible, platform.boxes.size()), std::tuple(kTrue, kTrue, 0u));
  form.txtName.SetText("Ann");
  form.optKeyboard.SetValue(true);
  Press(vk::kEnter);
  Press(vk::kM);
  EXPECT_EQ(form.MouseIcon(), Picture::Cursor) << "always shown with the keyboard";
  Press(vk::kF1);
  Press(vk::kS);
  EXPECT_EQ(std::pair(form.lblSound.Caption(), game.s.HelpShown), std::pair("Sound OFF"s, kTrue));
  Press(vk::kF4);  // closes the help only
  EXPECT_EQ(game.s.HelpShown | game.s.ScoresShown, kFalse);
  Press(vk::kF2, vk::kCtrl);  // modifiers do not matter for F2
  EXPECT_EQ(game.s.NewGameOpen, kTrue);
  form.optMouse.SetValue(true);
  Press(vk::kEnter);
  Press(vk::kF4);
  Press(vk::kM);
  EXPECT_EQ(std::pair(game.s.ScoresShown, form.MouseIcon()), std::pair(kTrue, Picture::Invisible));
  Press(vk::kEscape);  // closes the board, never asks to exit
  EXPECT_EQ(std::tuple(game.s.ScoresShown, platform.boxes.size()), std::tuple(kFalse, 0u));
  Press(vk::kSpace);
  Press(vk::kF5);
  EXPECT_EQ(form.MouseIcon(), Picture::Invisible) << "only M shows it again";
  Press(vk::kM);
  EXPECT_EQ(form.MouseIcon(), Picture::Cursor);
}

// A game started under the console after an abandoned paused one is not paused: the
// console blocks SetPause, not the start.
TEST_F(KeyTable, CheatConsoleOpensOnAltCAloneBetweenGamesAndKeepsItsKeys) {
  Play(/*keyboard=*/true);
  Ticks(1);
  Press(vk::kSpace);
  Answer(MsgBoxResult::Yes);
  Press(vk::kF2);
  Press(vk::kEnter);  // OK keeps the pause of the abandoned game
  Press(vk::kC, vk::kAlt | vk::kShift);
  EXPECT_FALSE(form.frameCheat.Visible());
  Press(vk::kC, vk::kAlt);
  EXPECT_TRUE(form.frameCheat.Visible());
  Press(vk::kF2);  // new game and help do not open over it
  Press(vk::kF1);
  EXPECT_EQ(game.s.NewGameOpen | game.s.HelpShown, kFalse);
  form.SetFocus(&form.txtCheat);  // keys typed there reach the console only
  form.txtCheat.SetText("grand old vortex");
  form.KeyDown(vk::kEnter, 0);
  EXPECT_EQ(game.s.CheatsEnabled, kTrue);
  Press(vk::kF5);
  Press(vk::kSpace);
  EXPECT_EQ(std::tuple(game.s.Paused, form.timCounter.Enabled()), std::tuple(kFalse, true));
  form.KeyDown(vk::kEscape, 0);
  EXPECT_EQ(std::tuple(form.frameCheat.Visible(), platform.boxes.size()), std::tuple(false, 1u));
  Press(vk::kC, vk::kAlt);  // not during a game
  EXPECT_FALSE(form.frameCheat.Visible());
}

TEST_F(KeyTable, NameBoxDiscardsSeparatorsAndWhatTheTableCannotStore) {
  for (int code : {int{'|'}, int{'.'}, 235, 255, int{'a'}, int{' '}, 8, 234, int{'!'}}) {
    auto c = static_cast<std::int16_t>(code);
    form.txtName.on.KeyPress(c);
    EXPECT_EQ(c, code == '|' || code == '.' || code >= 235 ? 0 : code) << code;
  }
  EXPECT_TRUE(IsNameCharacterAllowed(U'\u00e9'));   // é, code 233
  EXPECT_FALSE(IsNameCharacterAllowed(U'\u4e2d'));  // not in the code page
}

using Steering = FlowTest;

TEST_F(Steering, ArrowKeysMoveHalfABasketAndStopAtTheEdges) {
  Play(/*keyboard=*/true);
  const double half = Form1::kBasketHome.width / 2, rightmost = 6255 - Form1::kBasketHome.width;
  for (auto [from, key, to] : {std::tuple{1000.0, vk::kLeft, RoundHalfEven(1000 - half)},
                               {half - 1, vk::kLeft, 0.0}, {rightmost - half + 1, vk::kRight, rightmost},
                               {rightmost, vk::kRight, rightmost}}) {
    form.picBasket.SetLeft(from);
    Press(key);
    EXPECT_EQ(form.picBasket.Left(), to) << from;
  }
  Press(vk::kSpace);
  Press(vk::kLeft);  // paused: no steering
  EXPECT_EQ(form.picBasket.Left(), rightmost);
}

TEST_F(Steering, PointerCentresTheBasketInsideTheWindowOnlyInAMouseGame) {
  LoadAndName();
  form.lblStart.SetBackColor(palette::kBlue);
  form.MouseMoveAt(3000, 7000);  // no game: only the hover is reset
  EXPECT_EQ(form.lblStart.BackColor(), palette::kNavy);
  Press(vk::kF5);
  Press(vk::kRight);  // no keys with the mouse
  EXPECT_EQ(form.picBasket.Left(), (6255 - Form1::kBasketHome.width) / 2);
  for (auto [x, left] : {std::pair{3000.0, RoundHalfEven(3000 - Form1::kBasketHome.width / 2)}, {100.0, 0.0},
                         {6250.0, 6255 - Form1::kBasketHome.width}}) {
    form.MouseMoveAt(x, 6000);
    EXPECT_EQ(form.picBasket.Left(), left) << x;
  }
  Press(vk::kSpace);
  form.MouseMoveAt(3000, 6000);  // paused: no steering
  EXPECT_EQ(form.picBasket.Left(), 6255 - Form1::kBasketHome.width);
}

// Events that arrive in the middle of a procedure: a key during a wait's event pass, a
// timer event while a question is shown or while a tick is waiting.
class Reentrancy : public FlowTest {
 protected:
  // A bomb over the basket, one life left: its catch waits 700 ms with the explosion
  // on screen, and then ends the game.
  void BombAtTheLastLife() {
    form.lblLifes.SetCaption("1");
    platform.draws = {0.04, 0.0, 0.99, 0.5};  // roll 5: a bomb; image 14; a column
    Ticks(1);
    form.picBasket.SetLeft(game.s.ObjectLeft);
  }
  // A recorded game whose last life goes with a bomb, and `act` during the explosion.
  void DuringTheLastExplosion(const std::function<void()>& act) {
    Play();
    form.lblScore.SetCaption("150");
    BombAtTheLastLife();
    int passes = 0;
    platform.onDoEvents = [&] {
      if (passes++ == 0) act();
    };
    while (passes == 0) Ticks(1);
  }
};

// The game decided by its last life is over: Cancel cannot bring it back.
TEST_F(Reentrancy, NewGameDuringTheLastExplosionEndsThatGameAndKeepsItsScore) {
  DuringTheLastExplosion([&] {
    Answer(MsgBoxResult::Yes);
    Press(vk::kF2);
  });
  Ticks(5);
  EXPECT_EQ(std::tuple(State(), form.frameGameOver.Visible()), std::tuple("paused naming launch", false));
  EXPECT_EQ(game.s.HighScores(4), (HighScoreEntry{151, "Ann"})) << "the bomb's point counts";
  Press(vk::kEscape);
  EXPECT_EQ(Shown(), "0/25");
}

TEST_F(Reentrancy, ANewGameStartedDuringTiltsBlinkIsLeftAlone) {
  Play();
  form.lblScore.SetCaption("99998");
  platform.draws = {0.99, 0.0, 0.5};  // roll 100: a planet; image 1, class 1; a column
  Ticks(1);
  form.picBasket.SetLeft(game.s.ObjectLeft);
  int passes = 0;
  platform.onDoEvents = [&] {
    if (passes++ > 0) return;
    Press(vk::kF2);  // the tilted game has ended: no question
    Press(vk::kEnter);
    Press(vk::kF5);
  };
  while (passes == 0) Ticks(1);
  EXPECT_EQ(passes, 1) << "Tilt stops after the wait in which its game was replaced";
  EXPECT_EQ(game.s.HighScores(1), (HighScoreEntry{99999, "Ann"}));
  EXPECT_EQ(State(), "running timer new pause launch");
}

TEST_F(Reentrancy, TimerEventsDuringAQuestionAreNotTicks) {
  Play();
  Ticks(1);
  const double top = form.picPlanet.Top();
  platform.onMsgBox = [&] { Ticks(5); };
  Answer(MsgBoxResult::No);
  Press(vk::kF2);
  EXPECT_EQ(form.picPlanet.Top(), top);
}

}  // namespace
}  // namespace zbx::test
