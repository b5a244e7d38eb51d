// Turning a falling planet into a bomb or a bonus in the lower half of the window.
#include "game/tick.h"
#include "support/game_fixture.h"

namespace zbx::test {
namespace {

class TransformTest : public GameTest {
 protected:
  // One tick of a class-1 planet at speed 80 (75 twips per tick) that ends at top,
  // far from the basket.
  void TickTo(double top, std::int16_t roll) {
    Falling(1, 0, top - 75, 80);
    game.s.TransformRoll = roll;
    GameTick(game);
  }
  Picture Transformed() const { return form.imlPlanets.ListImage(16); }
};

TEST_F(TransformTest, HalfHeightLineDecidesWithTheRoundedTop) {
  TickTo(3953, 5);  // half of 7905 is 3952.5
  EXPECT_EQ(form.picPlanet.Tag(), "BOOM");
  EXPECT_EQ(form.picPlanet.GetPicture(), Transformed());

  TickTo(3952, 5);
  EXPECT_EQ(form.picPlanet.Tag(), "");
  EXPECT_EQ(form.picPlanet.GetPicture(), form.imlPlanets.ListImage(1));

  TickTo(3952.5, 5);  // rounds to 3952 (ties to even): still the upper half
  EXPECT_EQ(form.picPlanet.Tag(), "");
  TickTo(3953.5, 5);  // rounds to 3954
  EXPECT_EQ(form.picPlanet.Tag(), "BOOM");
}

TEST_F(TransformTest, RollDecidesTheKind) {
  const std::vector<std::pair<std::int16_t, std::string>> rolls = {
      {5, "BOOM"}, {13, "BOOM"}, {9, "BONUS"}, {15, "BONUS"}, {6, ""}, {10, ""}, {36, ""}, {100, ""}};
  for (const auto& [roll, tag] : rolls) {
    TickTo(5000, roll);
    EXPECT_EQ(form.picPlanet.Tag(), tag) << "roll " << roll;
  }
}

TEST_F(TransformTest, RepeatsOnEveryTickWithTheSameResult) {
  TickTo(4000, 9);
  GameTick(game);
  GameTick(game);
  EXPECT_EQ(form.picPlanet.Tag(), "BONUS");
  EXPECT_EQ(form.picPlanet.GetPicture(), Transformed());
}

TEST_F(TransformTest, CheatsChooseTheKindOnlyWhenUnlocked) {
  game.s.CheatOnlyLifes = kTrue;
  TickTo(5000, 5);
  EXPECT_EQ(form.picPlanet.Tag(), "BOOM") << "locked";

  game.s.CheatsEnabled = kTrue;
  TickTo(5000, 5);
  EXPECT_EQ(form.picPlanet.Tag(), "BONUS");
  TickTo(5000, 13);
  EXPECT_EQ(form.picPlanet.Tag(), "BONUS");
  TickTo(5000, 10);
  EXPECT_EQ(form.picPlanet.Tag(), "") << "cheats do not change the chance";

  game.s.CheatOnlyLifes = kFalse;
  game.s.CheatOnlyBombs = kTrue;
  TickTo(5000, 9);
  EXPECT_EQ(form.picPlanet.Tag(), "BOOM");
  TickTo(5000, 15);
  EXPECT_EQ(form.picPlanet.Tag(), "BOOM");
}

}  // namespace
}  // namespace zbx::test
