// PlaySoundResource: a fresh copy of the resource on every call, kept until replaced.
#include "game/sound.h"
#include "support/game_fixture.h"

namespace zbx::test {
namespace {

using SoundTest = GameTest;

TEST_F(SoundTest, LoadsEveryTimeAndHandsOverACopyTheGameKeeps) {
  std::vector<std::uint8_t> resource = {'R', 'I', 'F', 'F', 1, 2, 3};
  platform.resources = [&](std::string_view type, int id) {
    EXPECT_EQ(type, "WAV");
    EXPECT_EQ(id, 2);
    return resource;
  };
  PlaySoundResource(game, 2);
  PlaySoundResource(game, 2);
  EXPECT_EQ(platform.resourceLoads, 2);
  ASSERT_EQ(platform.played.size(), 2u);
  EXPECT_EQ(*platform.played[1], resource);
  EXPECT_NE(platform.played[0], platform.played[1]) << "a new buffer for every sound";
  EXPECT_EQ(game.currentSound, platform.played[1]);
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

TEST(SoundBuffer, PreviousBufferLivesUntilTheNextSoundHasStarted) {
  Form1 form;
  ForgetfulPlayer player;
  Game game{form, player};
  PlaySoundResource(game, 1);
  auto first = player.previous;
  EXPECT_FALSE(first.expired()) << "the game keeps the playing sound's bytes";
  PlaySoundResource(game, 3);
  EXPECT_TRUE(player.previousAliveAtStart);
  EXPECT_TRUE(first.expired()) << "and lets them go once replaced";
}

}  // namespace
}  // namespace zbx::test
