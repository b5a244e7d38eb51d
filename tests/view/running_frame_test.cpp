// A frame of a running game as the player sees it: the engine drives the model with
// the scripted platform, the view paints it.
#include <QImage>

#include "game/engine_events.h"
#include "game/game.h"
#include "support/fake_platform.h"
#include "view_fixture.h"

namespace zbx::qt::test {
namespace {

class RunningFrameTest : public ViewTest {
 protected:
  void SetUp() override {
    ViewTest::SetUp();
    BindEngineEvents(game);
    game.s.SoundOn = kTrue;
    form.lblScore.SetCaption("37");
    form.lblLifes.SetCaption("9");
    form.lblLifes.SetForeColor(0xFF0000);
    form.picBasket.SetLeft(600);
    game.s.GameRunning = kTrue;
    game.s.LaunchPending = kTrue;
    form.timCounter.SetEnabled(true);
  }

  zbx::test::FakePlatform platform;
  Game game{form, platform};
};

TEST_F(RunningFrameTest, FallingPlanetAndBasket) {
  // Launch image 6 (a class-4 planet) in column 3000; the roll keeps it a planet.
  platform.draws = {0.495, (6 - 0.5) / 14, (3000 + 0.5) / (6255 - 480 + 1)};
  while (form.picPlanet.Top() < 3500 || game.s.LaunchPending == kTrue) form.TimerTick();
  QApplication::processEvents();
  const QImage image = RenderTo("/tmp/zorbanix_running_frame");

  EXPECT_EQ(form.lblSpeed.Caption(), "239 m/h");  // 37 + 2 x 16 lives lost + 50 = 119
  const RectTwips planet = form.picPlanet.WindowBounds();
  ASSERT_EQ(planet.left, 3000);
  ASSERT_GT(planet.top, 3500);
  const QImage art(QString(ZBX_ASSETS_DIR) + "/planet06.png");
  ASSERT_FALSE(art.isNull());
  EXPECT_EQ(At(image, planet.left + 240, planet.top + 240), art.pixelColor(16, 16)) << "the planet's middle";
  EXPECT_TRUE(IsBlack(At(image, planet.left + 240, planet.top - 600))) << "nothing trails behind it";
  EXPECT_TRUE(IsBlack(At(image, 1500, planet.top + 240))) << "play area beside it";
  const QColor rim = At(image, form.picBasket.Left() + 32 * 15, form.picBasket.Top() + 3 * 15);
  EXPECT_GT(rim.red(), 150);
  EXPECT_LT(rim.green(), 100);
  EXPECT_TRUE(Any(image, form.lblSpeed.WindowBounds(), [](const QColor& c) { return c.lightness() > 160; }));
  EXPECT_TRUE(Any(image, form.lblLifes.WindowBounds(), [](const QColor& c) { return c.red() > 200 && c.green() < 90; }));
}

}  // namespace
}  // namespace zbx::qt::test
