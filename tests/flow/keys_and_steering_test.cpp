// The key table's order, the cheat console's key, the pointer and sound switches, and
// steering by keys and by the pointer at their limits.
#include "flow/new_game.h"
#include "flow/steering.h"
#include "flow_fixture.h"

namespace zbx::test {
namespace {

using KeyTable = FlowTest;

TEST_F(KeyTable, OnlyEnterAndEscActWhileTheNewGamePanelIsOpen) {
  Load();
  for (std::int16_t key : {vk::kF1, vk::kF2, vk::kF4, vk::kF5, vk::kSpace, vk::kM, vk::kS}) Press(key);
  EXPECT_EQ(g.s.HelpShown, kFalse);
  EXPECT_EQ(g.s.ScoresShown, kFalse);
  EXPECT_EQ(g.s.SoundOn, kTrue);
  EXPECT_EQ(g.s.PointerVisible, kTrue);
  EXPECT_TRUE(platform.boxes.empty());
}

TEST_F(KeyTable, MAndSActThroughAnOpenPanelThatOtherKeysClose) {
  LoadAndName();
  Press(vk::kF1);
  Press(vk::kS);
  EXPECT_EQ(form.lblSound.Caption(), "Sound OFF");
  EXPECT_EQ(g.s.HelpShown, kTrue);
  Press(vk::kF4);  // closes the help only
  EXPECT_EQ(g.s.HelpShown, kFalse);
  EXPECT_EQ(g.s.ScoresShown, kFalse);
  Press(vk::kF4);
  EXPECT_EQ(g.s.ScoresShown, kTrue);
  Press(vk::kM);
  EXPECT_EQ(g.s.ScoresShown, kTrue);
  Press(vk::kEscape);  // closes the board, never asks to exit
  EXPECT_EQ(g.s.ScoresShown, kFalse);
  EXPECT_TRUE(platform.boxes.empty());
}

TEST_F(KeyTable, ModifiersDoNotMatterForF2) {
  for (std::int16_t shift : {vk::kShift, vk::kCtrl, vk::kAlt}) {
    LoadAndName();
    Press(vk::kF2, shift);
    EXPECT_EQ(g.s.NewGameOpen, kTrue) << shift;
    Press(vk::kEscape);
  }
}

TEST_F(KeyTable, CheatConsoleOpensOnAltCAloneAndOnlyBetweenGames) {
  LoadAndName();
  Press(vk::kC);
  Press(vk::kC, vk::kAlt | vk::kShift);
  Press(vk::kC, vk::kAlt | vk::kCtrl);
  EXPECT_FALSE(form.frameCheat.Visible());
  Press(vk::kC, vk::kAlt);
  EXPECT_TRUE(form.frameCheat.Visible());

  // While it is shown, new game, help and the scoreboard do not open, and Pause does nothing.
  Press(vk::kF2);
  Press(vk::kF1);
  EXPECT_EQ(g.s.NewGameOpen, kFalse);
  EXPECT_EQ(g.s.HelpShown, kFalse);
  form.frameCheat.SetVisible(false);

  Press(vk::kF5);
  Press(vk::kC, vk::kAlt);  // not during a game
  EXPECT_FALSE(form.frameCheat.Visible());
}

TEST_F(KeyTable, AStartWithTheConsoleShownStillRunsTheGame) {
  LoadAndName();
  Press(vk::kC, vk::kAlt);
  Press(vk::kF5);
  EXPECT_EQ(g.s.GameRunning, kTrue);
  EXPECT_TRUE(form.timCounter.Enabled());
  Press(vk::kSpace);  // the console blocks pausing
  EXPECT_EQ(g.s.Paused, kFalse);
}

TEST_F(KeyTable, PointerSwitchDependsOnTheController) {
  LoadAndName("Ann", /*keyboard=*/true);
  Press(vk::kM);
  EXPECT_EQ(form.MouseIcon(), Picture::Cursor);
  EXPECT_EQ(g.s.PointerVisible, kTrue);

  Press(vk::kF2);
  form.optMouse.SetValue(true);
  Press(vk::kEnter);
  Press(vk::kM);
  EXPECT_EQ(form.MouseIcon(), Picture::Invisible);
  EXPECT_EQ(g.s.PointerVisible, kFalse);
  Press(vk::kF2);
  Press(vk::kM);  // frozen while the panel is open
  EXPECT_EQ(form.MouseIcon(), Picture::Invisible);
  Press(vk::kEnter);  // OK with Mouse leaves the pointer as it was
  EXPECT_EQ(form.MouseIcon(), Picture::Invisible);
  Press(vk::kM);
  EXPECT_EQ(form.MouseIcon(), Picture::Cursor);
}

TEST_F(KeyTable, NameBoxDiscardsSeparatorsAndWhatTheTableCannotStore) {
  for (int code : {int{'|'}, int{'.'}, 235, 255}) {
    auto c = static_cast<std::int16_t>(code);
    form.txtName.on.KeyPress(c);
    EXPECT_EQ(c, 0) << code;
  }
  for (int code : {int{'a'}, int{' '}, 8, 234, int{'!'}}) {
    auto c = static_cast<std::int16_t>(code);
    form.txtName.on.KeyPress(c);
    EXPECT_EQ(c, code);
  }
  EXPECT_TRUE(IsNameCharacterAllowed(U'\u00e9'));   // é, code 233
  EXPECT_FALSE(IsNameCharacterAllowed(U'\u00fc'));  // ü, code 252
  EXPECT_FALSE(IsNameCharacterAllowed(U'\u4e2d'));  // not in the code page
}

using Steering = FlowTest;

TEST_F(Steering, ArrowKeysMoveHalfABasketAndStopAtTheEdges) {
  StartRunning(/*keyboard=*/true);
  ASSERT_EQ(form.picBasket.Width(), 975);
  form.picBasket.SetLeft(1000);
  Press(vk::kLeft);
  EXPECT_EQ(form.picBasket.Left(), 512);  // 512.5 rounds to the even 512
  form.picBasket.SetLeft(300);
  Press(vk::kLeft);
  EXPECT_EQ(form.picBasket.Left(), 0);
  form.picBasket.SetLeft(5000);
  Press(vk::kRight);
  EXPECT_EQ(form.picBasket.Left(), 6255 - 975);  // flush with the right side
  Press(vk::kRight);
  EXPECT_EQ(form.picBasket.Left(), 6255 - 975);
}

TEST_F(Steering, ArrowKeysDoNothingWhenPausedOrWithTheMouse) {
  StartRunning(/*keyboard=*/true);
  form.picBasket.SetLeft(3000);
  Press(vk::kSpace);
  Press(vk::kLeft);
  EXPECT_EQ(form.picBasket.Left(), 3000);

  Answer(MsgBoxResult::Yes);
  Press(vk::kF2);
  form.optMouse.SetValue(true);
  Press(vk::kEnter);
  Press(vk::kF5);
  const double left = form.picBasket.Left();
  Press(vk::kRight);
  EXPECT_EQ(form.picBasket.Left(), left);
}

TEST_F(Steering, PointerCentresTheBasketInsideTheWindow) {
  StartRunning(/*keyboard=*/false);
  form.MouseMoveAt(3000, 6000);
  EXPECT_EQ(form.picBasket.Left(), 2512);  // 3000 - 487.5, ties to even
  form.MouseMoveAt(100, 6000);
  EXPECT_EQ(form.picBasket.Left(), 0);
  form.MouseMoveAt(6250, 6000);
  EXPECT_EQ(form.picBasket.Left(), 5280);

  // Over the top bar the movement belongs to other surfaces: no steering.
  form.MouseMoveAt(3000, 100);
  EXPECT_EQ(form.picBasket.Left(), 5280);

  Press(vk::kSpace);
  form.MouseMoveAt(3000, 6000);
  EXPECT_EQ(form.picBasket.Left(), 5280);
}

TEST_F(Steering, WindowPointerHandlerResetsHoverFirstAndAlways) {
  LoadAndName();
  form.lblStart.SetBackColor(0x0000FF);
  form.MouseMoveAt(3000, 7000);  // play area, no game running
  EXPECT_EQ(form.lblStart.BackColor(), 0x000080u);
}

}  // namespace
}  // namespace zbx::test
