// The key table's order, the cheat console's key, the pointer and sound switches, and
// steering by keys and by the pointer at their limits.
#include "flow/new_game.h"
#include "platform/rounding.h"
#include "support/flow_fixture.h"

namespace zbx::test {
namespace {

using KeyTable = FlowTest;

TEST_F(KeyTable, OnlyEnterAndEscActWhileTheNewGamePanelIsOpen) {
  Load();
  for (std::int16_t key : {vk::kF1, vk::kF2, vk::kF4, vk::kF5, vk::kSpace, vk::kM, vk::kS}) Press(key);
  EXPECT_EQ(State(), "naming");
  EXPECT_EQ(game.s.SoundOn, kTrue);
  EXPECT_EQ(game.s.PointerVisible, kTrue);
  EXPECT_TRUE(platform.boxes.empty());
}

TEST_F(KeyTable, MAndSActThroughAnOpenPanelThatOtherKeysClose) {
  LoadAndName();
  Press(vk::kF1);
  Press(vk::kS);
  EXPECT_EQ(form.lblSound.Caption(), "Sound OFF");
  EXPECT_EQ(game.s.HelpShown, kTrue);
  Press(vk::kF4);  // closes the help only
  EXPECT_EQ(game.s.HelpShown | game.s.ScoresShown, kFalse);
  Press(vk::kF4);
  Press(vk::kM);
  EXPECT_EQ(game.s.ScoresShown, kTrue);
  EXPECT_EQ(form.MouseIcon(), Picture::Invisible);
  Press(vk::kEscape);  // closes the board, never asks to exit
  EXPECT_EQ(game.s.ScoresShown, kFalse);
  for (std::int16_t shift : {vk::kShift, vk::kCtrl, vk::kAlt}) {
    Press(vk::kF2, shift);  // modifiers do not matter for F2
    EXPECT_EQ(game.s.NewGameOpen, kTrue) << shift;
    Press(vk::kEscape);
  }
  EXPECT_TRUE(platform.boxes.empty());
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
  Press(vk::kC);
  Press(vk::kC, vk::kAlt | vk::kShift);
  Press(vk::kC, vk::kAlt | vk::kCtrl);
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
  EXPECT_EQ(game.s.GameRunning, kTrue);
  EXPECT_TRUE(form.timCounter.Enabled());
  EXPECT_EQ(game.s.Paused, kFalse);
  EXPECT_EQ(game.s.LaunchPending, kTrue) << "a new object from the top";
  const double left = form.picBasket.Left();
  Press(vk::kLeft);
  EXPECT_LT(form.picBasket.Left(), left);
  form.KeyDown(vk::kEscape, 0);
  EXPECT_FALSE(form.frameCheat.Visible());
  EXPECT_EQ(platform.boxes.size(), 1u) << "only the question of the abandoned game";
  Press(vk::kC, vk::kAlt);  // not during a game
  EXPECT_FALSE(form.frameCheat.Visible());
}

TEST_F(KeyTable, PointerSwitchDependsOnTheController) {
  LoadAndName("Ann", /*keyboard=*/true);
  Press(vk::kM);
  EXPECT_EQ(form.MouseIcon(), Picture::Cursor);
  EXPECT_EQ(game.s.PointerVisible, kTrue);

  Press(vk::kF2);
  form.optMouse.SetValue(true);
  Press(vk::kEnter);
  Press(vk::kM);
  EXPECT_EQ(form.MouseIcon(), Picture::Invisible);
  EXPECT_EQ(game.s.PointerVisible, kFalse);
  Press(vk::kF2);
  Press(vk::kM);  // frozen while the panel is open
  Press(vk::kEnter);  // OK with Mouse leaves the pointer as it was
  EXPECT_EQ(form.MouseIcon(), Picture::Invisible);
  Press(vk::kM);
  EXPECT_EQ(form.MouseIcon(), Picture::Cursor);
}

TEST_F(KeyTable, NameBoxDiscardsSeparatorsAndWhatTheTableCannotStore) {
  for (int code : {int{'|'}, int{'.'}, 235, 255, int{'a'}, int{' '}, 8, 234, int{'!'}}) {
    auto c = static_cast<std::int16_t>(code);
    form.txtName.on.KeyPress(c);
    EXPECT_EQ(c, code == '|' || code == '.' || code >= 235 ? 0 : code) << code;
  }
  EXPECT_TRUE(IsNameCharacterAllowed(U'\u00e9'));   // é, code 233
  EXPECT_FALSE(IsNameCharacterAllowed(U'\u00fc'));  // ü, code 252
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
  Play(/*keyboard=*/false);
  Press(vk::kRight);  // no keys with the mouse
  EXPECT_EQ(form.picBasket.Left(), (6255 - Form1::kBasketHome.width) / 2);
  EXPECT_EQ(form.MouseIcon(), Picture::Cursor) << "only M hides the pointer";
  form.MouseMoveAt(3000, 6000);
  EXPECT_EQ(form.picBasket.Left(), RoundHalfEven(3000 - Form1::kBasketHome.width / 2));
  form.MouseMoveAt(100, 6000);
  EXPECT_EQ(form.picBasket.Left(), 0);
  form.MouseMoveAt(6250, 6000);
  EXPECT_EQ(form.picBasket.Left(), 6255 - Form1::kBasketHome.width);
  form.MouseMoveAt(3000, 100);  // over the top bar the movement belongs to other surfaces
  Press(vk::kSpace);
  form.MouseMoveAt(3000, 6000);
  EXPECT_EQ(form.picBasket.Left(), 6255 - Form1::kBasketHome.width);
}

TEST_F(Steering, WindowPointerHandlerResetsHoverFirstAndAlways) {
  LoadAndName();
  form.lblStart.SetBackColor(palette::kBlue);
  form.MouseMoveAt(3000, 7000);  // play area, no game running
  EXPECT_EQ(form.lblStart.BackColor(), palette::kNavy);
}

}  // namespace
}  // namespace zbx::test
