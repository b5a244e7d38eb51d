// The wave player on a scripted output: what it writes, from its own thread, when sounds
// replace each other while the output blocks, end, or lose their output.
#include "platform/qt/wave_player.h"

#include <gtest/gtest.h>

#include <QTest>
#include <atomic>
#include <cstdlib>
#include <mutex>
#include <thread>

#include "platform/sound_mixer.h"

namespace zbx {
namespace {

using Samples = std::vector<std::int16_t>;

// A 16-bit mono wave at the mixer's rate holding exactly these samples.
WaveBytes Wave(const Samples& samples) {
  std::vector<std::uint8_t> b;
  auto put = [&b](std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  };
  auto id = [&b](const char* s) { b.insert(b.end(), s, s + 4); };
  const auto data = static_cast<std::uint32_t>(samples.size() * 2);
  id("RIFF"), put(36 + data, 4), id("WAVE"), id("fmt "), put(16, 4), put(1, 2), put(1, 2);
  put(SoundMixer::kRate, 4), put(SoundMixer::kRate * 2, 4), put(2, 2), put(16, 2), id("data"), put(data, 4);
  for (std::int16_t s : samples) put(static_cast<std::uint16_t>(s), 2);
  return std::make_shared<const std::vector<std::uint8_t>>(std::move(b));
}

// Records what the player writes. The test grants the bytes the output takes, can hold
// Open (a stalled sound server), refuse it (no device) or fail the open stream.
struct ScriptedOutput : AudioOutput {
  std::atomic<bool> holdOpen{false}, noDevice{false}, fail{false};
  std::atomic<int> opens{0};
  std::atomic<std::int64_t> granted{1 << 30};
  std::mutex mutex;  // guards written
  Samples written;

  Samples Heard() {
    std::lock_guard lock(mutex);
    return written;
  }
  bool Open(int rate) override {
    while (holdOpen) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ++opens;
    return !noDevice && rate == SoundMixer::kRate;
  }
  std::int64_t BytesFree() override { return granted; }
  std::int64_t Write(const char* data, std::int64_t size) override {
    std::lock_guard lock(mutex);
    for (std::int64_t i = 0; i + 1 < size; i += 2)
      written.push_back(static_cast<std::int16_t>(static_cast<std::uint8_t>(data[i]) | data[i + 1] << 8));
    granted -= size;
    return size;
  }
  bool Drained() override { return true; }
  bool Failed() override { return fail; }
  void Close() override {}
};

class WavePlayerTest : public testing::Test {
 protected:
  void Grant(std::int64_t frames) { out_.granted = frames * 2; }
  bool PlayedOut() {
    return QTest::qWaitFor([this] { return !player_.IsPlaying(); }, 5000);
  }

  std::unique_ptr<ScriptedOutput> made_ = std::make_unique<ScriptedOutput>();
  ScriptedOutput& out_ = *made_;
  WavePlayer player_{std::move(made_)};
};

constexpr int kFade = SoundMixer::kFadeFrames;

TEST_F(WavePlayerTest, ABlockedOutputNeverHoldsTheCallerAndOnlyTheNewestWaitingSoundPlays) {
  out_.holdOpen = true;
  const WaveBytes first = Wave(Samples(500, 100)), second = Wave(Samples(500, 200)), newest = Wave(Samples(500, 300));
  player_.Play(first);  // the player's thread now waits in Open
  player_.Play(second);
  player_.Play(newest);
  EXPECT_TRUE(player_.IsPlaying());
  EXPECT_EQ(second.use_count(), 1);  // replaced while waiting: not kept
  out_.holdOpen = false;
  ASSERT_TRUE(PlayedOut());
  const Samples heard = out_.Heard();
  ASSERT_GE(heard.size(), 500u);
  EXPECT_EQ(Samples(heard.begin(), heard.begin() + 500), Samples(500, 300));
  EXPECT_EQ(out_.opens, 1);
}

// What is not a playable wave (no bytes, no samples) is ignored; without an output, or when
// it fails, the game goes on silently and later sounds try again.
TEST_F(WavePlayerTest, WithoutAnOutputOrWhenItFailsTheGameGoesOnSilentlyAndLaterSoundsTryAgain) {
  player_.Play(nullptr);
  player_.Play(Wave({}));
  EXPECT_FALSE(player_.IsPlaying());
  out_.noDevice = true;
  player_.Play(Wave(Samples(500, 100)));
  ASSERT_TRUE(PlayedOut());
  EXPECT_EQ(out_.Heard().size(), 0u);
  out_.noDevice = false;
  Grant(101);  // an odd number of frames: still written whole
  player_.Play(Wave(Samples(500, 200)));
  ASSERT_TRUE(QTest::qWaitFor([this] { return out_.Heard().size() == 101; }, 5000));
  out_.fail = true;  // the sound server went away
  ASSERT_TRUE(PlayedOut());
  out_.fail = false;
  Grant(1 << 20);
  player_.Play(Wave(Samples(500, 300)));
  ASSERT_TRUE(PlayedOut());
  EXPECT_EQ(out_.opens, 3);
  const Samples heard = out_.Heard();
  ASSERT_GE(heard.size(), 601u);
  EXPECT_EQ(Samples(heard.begin() + 101 + kFade, heard.begin() + 601), Samples(500 - kFade, 300));
  // It fades to silence in even steps: no click at its end.
  for (std::size_t i = 601; i < heard.size(); ++i) ASSERT_LE(std::abs(heard[i] - heard[i - 1]), 300 / kFade + 1) << i;
  EXPECT_EQ(heard.back(), 0);
}

}  // namespace
}  // namespace zbx
