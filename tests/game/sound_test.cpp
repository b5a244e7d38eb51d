// PlaySoundResource: a fresh copy of the resource on every call, kept until replaced.
#include <gtest/gtest.h>

#include "game/sound.h"
#include "support/fake_platform.h"
#include "window/form1.h"

namespace zbx::test {
namespace {

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
