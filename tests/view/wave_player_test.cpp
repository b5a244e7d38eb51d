#include "platform/qt/wave_player.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QAudioDevice>
#include <QMediaDevices>
#include <QTest>

#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace zbx {
namespace {

// The one application object of this test program, made on first use.
void EnsureApplication() {
  if (QCoreApplication::instance() != nullptr) return;
  static int argc = 1;
  static char name[] = "test_view";
  static char* argv[] = {name, nullptr};
  static QApplication app(argc, argv);
}

WaveBytes Asset(int id) {
  std::ifstream in(std::string(ZBX_ASSETS_DIR) + "/sound" + std::to_string(id) + ".wav", std::ios::binary);
  return std::make_shared<const std::vector<std::uint8_t>>(std::istreambuf_iterator<char>(in),
                                                          std::istreambuf_iterator<char>());
}

// These tests run with or without a sound device: without one the player must stay
// silent and hold nothing; with one it plays and holds exactly the newest sound.
class WavePlayerTest : public testing::Test {
 protected:
  WavePlayerTest() : has_output_((EnsureApplication(), !QMediaDevices::defaultAudioOutput().isNull())) {}
  const bool has_output_;
  WavePlayer player_;
};

TEST_F(WavePlayerTest, PlaysWithOrWithoutAnOutputAndKeepsOnlyWhatItPlays) {
  ASSERT_EQ(Asset(1)->size(), 3062U);
  const WaveBytes catch_sound = Asset(1);
  player_.Play(catch_sound);
  EXPECT_EQ(player_.IsPlaying(), has_output_);
  EXPECT_EQ(catch_sound.use_count(), has_output_ ? 2 : 1);
  QTest::qWait(100);  // let the feeding timer and the sink's signals run
}

TEST_F(WavePlayerTest, ANewSoundReplacesTheOneStillPlaying) {
  const WaveBytes jingle = Asset(2);
  const WaveBytes explosion = Asset(3);
  player_.Play(jingle);
  player_.Play(explosion);
  EXPECT_EQ(jingle.use_count(), 1);
  EXPECT_EQ(explosion.use_count(), has_output_ ? 2 : 1);
  EXPECT_EQ(player_.IsPlaying(), has_output_);
  player_.Play(jingle);
  EXPECT_EQ(explosion.use_count(), 1);
  QTest::qWait(50);
}

TEST_F(WavePlayerTest, IgnoresWhatIsNotAPlayableWave) {
  const WaveBytes jingle = Asset(2);
  player_.Play(jingle);
  const bool playing = player_.IsPlaying();

  auto truncated = std::make_shared<std::vector<std::uint8_t>>(*jingle);
  truncated->resize(truncated->size() / 2);
  auto float_format = std::make_shared<std::vector<std::uint8_t>>(*jingle);
  (*float_format)[20] = 3;  // format tag: IEEE float
  const WaveBytes bad[] = {nullptr,
                           std::make_shared<const std::vector<std::uint8_t>>(),
                           std::make_shared<const std::vector<std::uint8_t>>(100, 0xAB),
                           std::move(truncated),
                           std::move(float_format)};
  for (const WaveBytes& wave : bad) {
    player_.Play(wave);
    EXPECT_EQ(player_.IsPlaying(), playing);
    if (wave) {
      EXPECT_EQ(wave.use_count(), 1);  // the player kept nothing
    }
  }
  EXPECT_EQ(jingle.use_count(), playing ? 2 : 1);  // the jingle plays on
}

}  // namespace
}  // namespace zbx
