// Runs with or without a sound device: without one the player stays silent and holds
// nothing; with one it plays and holds exactly the newest sound.
#include "platform/qt/wave_player.h"

#include <gtest/gtest.h>

#include <QAudioDevice>
#include <QMediaDevices>
#include <QTest>
#include <fstream>
#include <iterator>

namespace zbx {
namespace {

WaveBytes Asset(int id) {
  std::ifstream in(std::string(ZBX_ASSETS_DIR) + "/sound" + std::to_string(id) + ".wav", std::ios::binary);
  return std::make_shared<const std::vector<std::uint8_t>>(std::istreambuf_iterator<char>(in),
                                                          std::istreambuf_iterator<char>());
}

class WavePlayerTest : public testing::Test {
 protected:
  const bool has_output_ = !QMediaDevices::defaultAudioOutput().isNull();
  const long held_ = has_output_ ? 2 : 1;
  WavePlayer player_;
};

TEST_F(WavePlayerTest, ANewSoundReplacesTheOneStillPlaying) {
  const WaveBytes jingle = Asset(2);
  const WaveBytes explosion = Asset(3);
  ASSERT_GT(jingle->size(), 44u);
  player_.Play(jingle);
  EXPECT_EQ(player_.IsPlaying(), has_output_);
  EXPECT_EQ(jingle.use_count(), held_);
  player_.Play(explosion);
  EXPECT_EQ(jingle.use_count(), 1);
  EXPECT_EQ(explosion.use_count(), held_);
  QTest::qWait(100);  // let the feeding timer and the sink's signals run
  player_.Play(jingle);
  EXPECT_EQ(explosion.use_count(), 1);
}

TEST_F(WavePlayerTest, IgnoresWhatIsNotAPlayableWave) {
  const WaveBytes jingle = Asset(2);
  player_.Play(jingle);
  const bool playing = player_.IsPlaying();
  auto truncated = std::make_shared<std::vector<std::uint8_t>>(*jingle);
  truncated->resize(truncated->size() / 2);
  auto float_format = std::make_shared<std::vector<std::uint8_t>>(*jingle);
  (*float_format)[20] = 3;  // format tag: IEEE float
  const WaveBytes bad[] = {nullptr, std::make_shared<const std::vector<std::uint8_t>>(),
                           std::make_shared<const std::vector<std::uint8_t>>(100, 0xAB), std::move(truncated),
                           std::move(float_format)};
  for (const WaveBytes& wave : bad) {
    player_.Play(wave);
    EXPECT_EQ(player_.IsPlaying(), playing);
    EXPECT_LE(wave.use_count(), 1);  // the player kept nothing
  }
  EXPECT_EQ(jingle.use_count(), playing ? 2 : 1);  // the jingle plays on
}

}  // namespace
}  // namespace zbx
