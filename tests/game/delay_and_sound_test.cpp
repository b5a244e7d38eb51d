// The platform's time and sound as the game uses them: Delay, one pass over pending
// events then a wait on the whole-second clock; PlaySoundResource, a fresh copy of the
// resource on every call, kept until replaced.
#include "game/delay.h"
#include "game/sound.h"
#include "support/game_fixture.h"

namespace zbx::test {
namespace {

class DelayTest : public GameTest {
 protected:
  // Starts a delay at the given time of day; returns how long it waited.
  double WaitFrom(double start, std::int16_t ms) {
    platform.now = start;
    Delay(game, ms);
    return platform.now - start;
  }
};

// One pass over pending events before the first clock read, then a sleep between reads,
// until the rounded clock reaches the rounded target, or midnight passes.
TEST_F(DelayTest, EndsWhenTheRoundedClockReachesTheRoundedTargetOrAtMidnight) {
  int readsAtEvents = -1;
  platform.onDoEvents = [&] { readsAtEvents = platform.timeReads; };
  EXPECT_NEAR(WaitFrom(100.2, 700), 0.3, 0.0015);  // target 101; 100.5 still rounds to 100
  EXPECT_EQ(platform.doEventsCalls, 1);
  EXPECT_EQ(readsAtEvents, 0);
  EXPECT_EQ(platform.timeReads, platform.sleeps + 2);
  const std::tuple<double, std::int16_t, double> cases[] = {
      {100.6, 700, 0},      // target round(101.3) = 101 = round(100.6)
      {100.4, 2000, 1.1},   // target 102, reached at 101.5
      {100.5, 1000, 1.0},   // start 100, target 101.5 rounds to 102
      {101.5, 1000, 0},     // target 102.5 rounds to 102, as does 101.5
      {86399.9, 2000, 0.1}  // target 86402 is never read
  };
  for (const auto& [start, ms, waited] : cases) EXPECT_NEAR(WaitFrom(start, ms), waited, 0.0015) << start;
  for (double start = 200.0; start < 201.0; start += 0.05) EXPECT_GE(WaitFrom(start, 2000), 0.999) << start;
}

// A player that keeps no reference of its own, and looks at the previous buffer when
// the next sound starts.
class ForgetfulPlayer : public FakePlatform {
 public:
  void PlayWave(WaveBytes wave) override {
    previousAliveAtStart = !previous.expired();
    previous = wave;
  }
  std::weak_ptr<const std::vector<std::uint8_t>> previous;
  bool previousAliveAtStart = false;
};

TEST(SoundTest, LoadsEveryTimeAndKeepsTheBytesUntilTheNextSoundHasStarted) {
  Form1 form;
  ForgetfulPlayer player;
  Game game{form, player};
  player.resources = [](std::string_view type, int id) {
    return std::vector<std::uint8_t>{static_cast<std::uint8_t>(type == "WAV" ? id : 0), 'x'};
  };
  PlaySoundResource(game, 2);
  auto first = player.previous;
  EXPECT_EQ(*game.currentSound, (std::vector<std::uint8_t>{2, 'x'}));
  PlaySoundResource(game, 2);
  EXPECT_EQ(player.resourceLoads, 2);
  EXPECT_TRUE(player.previousAliveAtStart);
  EXPECT_TRUE(first.expired()) << "a new buffer for every sound, the old one let go once replaced";
}

}  // namespace
}  // namespace zbx::test
