// The cheat console: the master code, the command table and SETSPEED's number.
#include <optional>
#include <vector>

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
    return form.txtCheat.Text().empty();
  }
  std::vector<Flag> Cheats() const {
    const ModGame& s = game.s;
    return {s.CheatOnlyLifes, s.CheatOnlyBombs, s.CheatUnlimitedLifes, s.CheatSlowMotion, s.CheatSetSpeed};
  }
};

TEST_F(CheatConsoleTest, OnlyTheMasterCodeUnlocksAndOnlyCommandsAreTaken) {
  form.lblLifes.SetCaption("7");
  for (const char* text : {"ONLYLIFES", " GRAND OLD VORTEX", "GRAND OLD VORTEXX"}) EXPECT_FALSE(Enter(text)) << text;
  EXPECT_EQ(game.s.CheatsEnabled, kFalse);
  EXPECT_TRUE(Enter("grand Old vortex   "));
  EXPECT_TRUE(Enter("GRAND OLD VORTEX")) << "matches again once unlocked";
  for (const char* text : {" ", "ONLYLIFE", " ONLYLIFES", "SLOW MOTION", "SETSPEED X"}) {
    EXPECT_FALSE(Enter(text)) << text;
    EXPECT_EQ(form.txtCheat.Text(), text);
  }
  EXPECT_EQ(Cheats(), std::vector<Flag>(5, kFalse));
  EXPECT_EQ(game.s.CheatSpeedValue, 0);
  EXPECT_EQ(form.lblLifes.Caption(), "7");
  Press(27);  // Escape hides the panel and keeps the text
  EXPECT_FALSE(form.frameCheat.Visible());
  EXPECT_EQ(form.txtCheat.Text(), "SETSPEED X");
}

TEST_F(CheatConsoleTest, EachCommandSelectsExactlyOneCheatAndSetsTheWorkingLives) {
  ASSERT_TRUE(Enter("GRAND OLD VORTEX"));
  const std::tuple<const char*, int, const char*, Rgb> rows[] = {
      {"onlylifes", 0, "25", palette::kGreen},     {"ONLYBOMBS", 1, "25", palette::kGreen},
      {"UNLIMITEDLIFES", 2, "00", palette::kYellow}, {"SLOWMOTION", 3, "25", palette::kGreen},
      {"SETSPEED 300", 4, "25", palette::kGreen},  {"ONLYLIFES ", 0, "25", palette::kGreen}};
  for (const auto& [command, selected, lifes, colour] : rows) {
    form.lblLifes.SetCaption("3");
    form.lblLifes.SetForeColor(palette::kRed);
    EXPECT_TRUE(Enter(command)) << command;
    std::vector<Flag> expected(5, kFalse);
    expected[static_cast<std::size_t>(selected)] = kTrue;
    EXPECT_EQ(Cheats(), expected) << command;
    EXPECT_EQ(form.lblLifes.Caption(), lifes) << command;
    EXPECT_EQ(form.lblLifes.ForeColor(), colour) << command;
  }
  EXPECT_EQ(game.s.CheatSpeedValue, 300);
  EXPECT_TRUE(form.frameCheat.Visible()) << "stays open";
  // A command during a fall sets the lives the next loss counts from.
  ASSERT_TRUE(Enter("UNLIMITEDLIFES"));
  StartRunning("0", "00");
  QueueLaunch(100, 1, 0);
  GameTick(game);  // the launch reads "00" as no lives
  ASSERT_TRUE(Enter("SLOWMOTION"));
  for (int i = 0; i < 500 && form.lblLifes.Caption() == "25"; ++i) GameTick(game);
  EXPECT_EQ(form.lblLifes.Caption(), "24");
  EXPECT_EQ(game.s.GameRunning, kTrue);
}

TEST(SetSpeedValue, ReadsAtMostFourCharactersClampedOrKeepsThePrevious) {
  const std::pair<const char*, std::optional<std::int16_t>> cases[] = {
      {"450", 450}, {"90000", 600}, {"12.5", 200}, {"599.9", 599} /* "599." */, {"+450", 450}, {" 250", 250},
      {"-300", 200}, {"25e1", 250}, {".5", 200}, {"123e5", 333} /* "123e" is no number */,
      {"1e10", 333} /* beyond 16 bits */, {"1e3000", std::nullopt} /* beyond any number */, {"", std::nullopt},
      {"45X", std::nullopt}, {"4 5", std::nullopt}, {"1,000", std::nullopt}, {"0x10", std::nullopt}};
  for (const auto& [rest, expected] : cases)
    EXPECT_EQ(SetSpeedValue(std::string("SETSPEED ") + rest, 333), expected) << rest;
  for (const char* other : {"SETSPEED", "SETSPEED450", "SLOWMOTION"})
    EXPECT_EQ(SetSpeedValue(other, 333), std::nullopt) << other;
}

}  // namespace
}  // namespace zbx::test
