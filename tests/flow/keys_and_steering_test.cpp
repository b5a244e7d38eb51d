// The key table's order, the cheat console's key, the pointer and sound switches, and
// steering by keys and by the pointer at their limits.
#include "flow/new_game.h"
#include "platform/rounding.h"
#include "support/flow_fixture.h"

namespace zbx::test {
namespace {

using KeyTable = FlowTest;

// Only Enter and Esc act on the new-game panel; M and S act through help and the board,
// which any other key closes; the pointer hides only in a mouse game.
TEST_F(KeyTable, PanelsTakeTheirKeysAndMAndSActThroughTheOthers) {
  Load();
  for (std::int16_t key : {vk::kF1, vk::kF2, vk::kF4, vk::kF5, vk::kSpace, vk::kM, vk::kS}) Press(key);
  EXPECT_EQ(State(), "naming");
  EXPECT_EQ(game.s.SoundOn, kTrue);
  EXPECT_TRUE(platform.boxes.empty());
  form.txtName.SetText("Ann");
  form.optKeyboard.SetValue(true);
  Press(vk::kEnter);
  Press(vk::kM);
  EXPECT_EQ(form.MouseIcon(), Picture::Cursor) << "always shown with the keyboard";
  Press(vk::kF1);
  Press(vk::kS);
  EXPECT_EQ(form.lblSound.Caption(), "Sound OFF");
  EXPECT_EQ(game.s.HelpShown, kTrue);
  Press(vk::kF4);  // closes the help only
  EXPECT_EQ(game.s.HelpShown | game.s.ScoresShown, kFalse);
  for (std::int16_t shift : {vk::kShift, vk::kCtrl, vk::kAlt}) {
    Press(vk::kF2, shift);  // modifiers do not matter for F2
    EXPECT_EQ(game.s.NewGameOpen, kTrue) << shift;
    Press(vk::kEscape);
  }
  Press(vk::kF2);
  form.optMouse.SetValue(true);
  Press(vk::kEnter);
  Press(vk::kF4);
  Press(vk::kM);
  EXPECT_EQ(game.s.ScoresShown, kTrue);
  EXPECT_EQ(form.MouseIcon(), Picture::Invisible);
  Press(vk::kEscape);  // closes the board, never asks to exit
  EXPECT_EQ(game.s.ScoresShown, kFalse);
  EXPECT_TRUE(platform.boxes.empty());
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
  Press(vk::kC);
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
  EXPECT_EQ(game.s.Paused, kFalse);
  EXPECT_TRUE(form.timCounter.Enabled());
  form.KeyDown(vk::kEscape, 0);
  EXPECT_FALSE(form.frameCheat.Visible());
  EXPECT_EQ(platform.boxes.size(), 1u) << "only the question of the abandoned game";
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
  form.MouseMoveAt(3000, 6000);
  EXPECT_EQ(form.picBasket.Left(), RoundHalfEven(3000 - Form1::kBasketHome.width / 2));
  form.MouseMoveAt(100, 6000);
  EXPECT_EQ(form.picBasket.Left(), 0);
  form.MouseMoveAt(6250, 6000);
  EXPECT_EQ(form.picBasket.Left(), 6255 - Form1::kBasketHome.width);
  Press(vk::kSpace);
  form.MouseMoveAt(3000, 6000);
  EXPECT_EQ(form.picBasket.Left(), 6255 - Form1::kBasketHome.width);
}

}  // namespace
}  // namespace zbx::test
