// The wave player on a scripted output: what it writes, from its own thread, when sounds
// replace each other, end, wait for an output that blocks, or lose their output.
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
  std::atomic<bool> holdOpen{false}, noDevice{false}, fail{false}, open{false};
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
    open = !noDevice && rate == SoundMixer::kRate;
    return open;
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
  void Close() override { open = false; }
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

int LargestStep(const Samples& s, std::size_t from, std::size_t to) {
  int step = 0;
  for (std::size_t i = std::max<std::size_t>(from, 1); i < to && i < s.size(); ++i)
    step = std::max(step, std::abs(s[i] - s[i - 1]));
  return step;
}

// A steady level cut after 1000 frames by a sound of the opposite sign: any jump at the
// switch, or at the end of the last sound, is a click.
TEST_F(WavePlayerTest, AReplacedSoundFadesOutBesideTheNewOneAndTheLastFadesToSilence) {
  Samples other(2000);
  for (std::size_t j = 0; j < other.size(); ++j) other[j] = static_cast<std::int16_t>(-6000 + static_cast<int>(j % 5));
  Grant(1000);
  player_.Play(Wave(Samples(4000, 12000)));
  ASSERT_TRUE(QTest::qWaitFor([&] { return out_.Heard().size() == 1000; }, 5000));
  player_.Play(Wave(other));
  QTest::qWait(30);  // the player takes the new sound before it may write again
  Grant(1 << 20);
  ASSERT_TRUE(PlayedOut());
  const Samples heard = out_.Heard();
  ASSERT_GE(heard.size(), 3000u + kFade + SoundMixer::kTrailingFrames);
  // The new sound starts right where the old one was cut.
  for (std::size_t j = kFade; j < other.size(); ++j) ASSERT_EQ(heard[1000 + j], other[j]) << j;
  for (std::size_t i = 0; i < 1000; ++i) ASSERT_EQ(heard[i], 12000) << i;
  // Beside the new sound the old one falls from its level to nothing in even steps.
  const int expectedStep = 12000 / kFade + 1;
  EXPECT_LE(LargestStep(heard, 1001, 1000 + kFade + 1), expectedStep + 4);
  EXPECT_GE(heard[1000], -6000 + 12000 - expectedStep);
  EXPECT_LE(LargestStep(heard, 3000, heard.size()), 6000 / kFade + 1);
  EXPECT_EQ(heard.back(), 0);
  EXPECT_FALSE(out_.open);  // closed once played out
}

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
  EXPECT_EQ(first.use_count(), 1);
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
  Grant(100);
  player_.Play(Wave(Samples(500, 200)));
  ASSERT_TRUE(QTest::qWaitFor([this] { return out_.Heard().size() == 100; }, 5000));
  out_.fail = true;  // the sound server went away
  ASSERT_TRUE(PlayedOut());
  out_.fail = false;
  Grant(1 << 20);
  player_.Play(Wave(Samples(500, 300)));
  ASSERT_TRUE(PlayedOut());
  EXPECT_EQ(out_.opens, 3);
  const Samples heard = out_.Heard();
  ASSERT_GE(heard.size(), 600u);
  EXPECT_EQ(Samples(heard.begin() + 100 + kFade, heard.begin() + 600), Samples(500 - kFade, 300));
}

}  // namespace
}  // namespace zbx
