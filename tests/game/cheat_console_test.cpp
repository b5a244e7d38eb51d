// The cheat console: the master code, the command table and SETSPEED's number.
#include "game/cheats.h"
#include "game/tick.h"
#include "support/game_fixture.h"

namespace zbx::test {
namespace {

class CheatConsoleTest : public GameTest {
 protected:
  CheatConsoleTest() { form.frameCheat.SetVisible(true); }

  void Press(std::int16_t key) {
    std::int16_t shift = 0;
    txtCheat_KeyDown(game, key, shift);
  }
  // Types text and presses Enter; true when the box was cleared (a command was taken).
  bool Enter(const std::string& text) {
    form.txtCheat.SetText(text);
    Press(13);
    return form.txtCheat.Text().empty() && !text.empty();
  }
  void Unlock() { ASSERT_TRUE(Enter("GRAND OLD VORTEX")); }

  std::vector<Flag> Cheats() const {
    const ModGame& s = game.s;
    return {s.CheatOnlyLifes, s.CheatOnlyBombs, s.CheatUnlimitedLifes, s.CheatSlowMotion, s.CheatSetSpeed};
  }
};

TEST_F(CheatConsoleTest, CommandsDoNothingUntilTheMasterCode) {
  EXPECT_FALSE(Enter("ONLYLIFES"));
  EXPECT_EQ(form.txtCheat.Text(), "ONLYLIFES");
  EXPECT_EQ(game.s.CheatOnlyLifes, kFalse);
  EXPECT_FALSE(Enter("SETSPEED 450"));
  EXPECT_EQ(game.s.CheatSetSpeed, kFalse);
  EXPECT_EQ(game.s.CheatSpeedValue, 0);

  Unlock();
  EXPECT_EQ(game.s.CheatsEnabled, kTrue);
  EXPECT_TRUE(Enter("ONLYLIFES"));
  EXPECT_EQ(game.s.CheatOnlyLifes, kTrue);
}

TEST_F(CheatConsoleTest, MasterCodeIgnoresCaseAndTrailingBlanksButNotLeadingOnes) {
  EXPECT_FALSE(Enter(" GRAND OLD VORTEX"));
  EXPECT_EQ(game.s.CheatsEnabled, kFalse);
  EXPECT_FALSE(Enter("GRAND OLD VORTEXX"));
  EXPECT_TRUE(Enter("grand Old vortex   "));
  EXPECT_EQ(game.s.CheatsEnabled, kTrue);
  EXPECT_TRUE(Enter("GRAND OLD VORTEX")) << "matches again once unlocked";
}

TEST_F(CheatConsoleTest, NonCommandsChangeNothing) {
  Unlock();
  for (const char* text : {"", " ", "X", "ONLY", "ONLYLIFE", " ONLYLIFES", "SLOW MOTION"}) {
    form.lblLifes.SetCaption("7");
    EXPECT_FALSE(Enter(text)) << text;
    EXPECT_EQ(form.txtCheat.Text(), text);
    EXPECT_EQ(Cheats(), std::vector<Flag>(5, kFalse)) << text;
    EXPECT_EQ(form.lblLifes.Caption(), "7");
  }
}

TEST_F(CheatConsoleTest, EachCommandSelectsExactlyOneCheat) {
  Unlock();
  struct Row {
    const char* command;
    int selected;
    const char* lifes;
    Rgb colour;
  };
  const std::vector<Row> rows = {{"onlylifes", 0, "25", rules::kGreen},
                                 {"ONLYBOMBS", 1, "25", rules::kGreen},
                                 {"UNLIMITEDLIFES", 2, "00", rules::kYellow},
                                 {"SLOWMOTION", 3, "25", rules::kGreen},
                                 {"SETSPEED 300", 4, "25", rules::kGreen},
                                 {"ONLYLIFES ", 0, "25", rules::kGreen}};
  for (const Row& row : rows) {
    form.lblLifes.SetCaption("3");
    form.lblLifes.SetForeColor(rules::kRed);
    EXPECT_TRUE(Enter(row.command)) << row.command;
    std::vector<Flag> expected(5, kFalse);
    expected[static_cast<std::size_t>(row.selected)] = kTrue;
    EXPECT_EQ(Cheats(), expected) << row.command;
    EXPECT_EQ(form.lblLifes.Caption(), row.lifes) << row.command;
    EXPECT_EQ(form.lblLifes.ForeColor(), row.colour) << row.command;
    EXPECT_TRUE(form.frameCheat.Visible()) << "stays open";
  }
}

TEST_F(CheatConsoleTest, SetSpeedReadsAtMostFourCharactersAndClamps) {
  Unlock();
  struct Case {
    const char* rest;
    int expected;
  };
  const std::vector<Case> cases = {
      {"450", 450},  {"90000", 600}, {"50", 200},   {"12.5", 200}, {"599.9", 599} /* "599." */,
      {"+450", 450}, {" 250", 250},  {"-300", 200}, {"25e1", 250}, {"1e3", 600},
      {"0", 200},    {"300.", 300},  {".5", 200},
  };
  for (const Case& c : cases) {
    EXPECT_TRUE(Enter(std::string("SETSPEED ") + c.rest)) << c.rest;
    EXPECT_EQ(game.s.CheatSpeedValue, c.expected) << c.rest;
    EXPECT_EQ(game.s.CheatSetSpeed, kTrue);
  }
}

TEST_F(CheatConsoleTest, SetSpeedKeepsThePreviousValueWhenItsHeadIsNoNumber) {
  Unlock();
  ASSERT_TRUE(Enter("SETSPEED 450"));
  EXPECT_TRUE(Enter("SETSPEED 123e5"));  // a number, but "123e" is none
  EXPECT_EQ(game.s.CheatSpeedValue, 450);
  EXPECT_TRUE(Enter("SETSPEED 1e10"));  // does not fit in 16 bits
  EXPECT_EQ(game.s.CheatSpeedValue, 450);
  EXPECT_FALSE(Enter("SETSPEED 1e3000")) << "beyond any number: the row does not match";
  EXPECT_EQ(game.s.CheatSpeedValue, 450);
}

TEST_F(CheatConsoleTest, SetSpeedRefusesWhatIsNoNumber) {
  Unlock();
  ASSERT_TRUE(Enter("SLOWMOTION"));
  for (const char* text : {"SETSPEED", "SETSPEED ", "SETSPEED  ", "SETSPEED X", "SETSPEED 45X", "SETSPEED 4 5",
                           "SETSPEED 1,000", "SETSPEED .", "SETSPEED -", "SETSPEED 1e", "SETSPEED 0x10",
                           "SETSPEED450", "SETSPEED\t450"}) {
    EXPECT_FALSE(Enter(text)) << text;
    EXPECT_EQ(game.s.CheatSlowMotion, kTrue) << text;
  }
}

TEST_F(CheatConsoleTest, SetSpeedOfSixHundredShowsSixHundred) {
  Unlock();
  ASSERT_TRUE(Enter("SETSPEED 600"));
  StartRunning();
  QueueLaunch(50, 1, 0);
  GameTick(game);
  EXPECT_EQ(form.lblSpeed.Caption(), "600 m/h");
}

TEST_F(CheatConsoleTest, SlowMotionAfterUnlimitedLivesRestoresTheCount) {
  Unlock();
  ASSERT_TRUE(Enter("UNLIMITEDLIFES"));
  ASSERT_TRUE(Enter("SLOWMOTION"));
  EXPECT_EQ(game.s.CheatUnlimitedLifes, kFalse);
  EXPECT_EQ(form.lblLifes.Caption(), "25");
}

TEST_F(CheatConsoleTest, EscapeHidesThePanelAndKeepsTheText) {
  form.txtCheat.SetText("ONLY");
  Press(27);
  EXPECT_FALSE(form.frameCheat.Visible());
  EXPECT_EQ(form.txtCheat.Text(), "ONLY");
  Press(65);
  Press(32);
  EXPECT_EQ(form.txtCheat.Text(), "ONLY");
}

TEST_F(CheatConsoleTest, CommandDuringAGameTakesEffectAtTheNextLaunch) {
  Unlock();
  StartRunning("0", "12");
  QueueLaunch(50, 1, 0);
  GameTick(game);
  EXPECT_EQ(game.s.LifesLeft, 12);
  ASSERT_TRUE(Enter("UNLIMITEDLIFES"));
  EXPECT_EQ(form.lblLifes.Caption(), "00");
  game.s.LaunchPending = kTrue;
  QueueLaunch(50, 1, 0);
  GameTick(game);
  EXPECT_EQ(game.s.LifesLeft, 0);
  EXPECT_EQ(game.s.Speed, 100);
}

}  // namespace
}  // namespace zbx::test
