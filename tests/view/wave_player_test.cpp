// The wave player on a scripted output: what it writes, from its own thread, when sounds
// replace each other, end, wait for an output that blocks, or lose their output.
#include "platform/qt/wave_player.h"

#include <gtest/gtest.h>

#include <QTest>
#include <condition_variable>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <mutex>

#include "platform/sound_mixer.h"
#include "platform/wave_file.h"

namespace zbx {
namespace {

using Samples = std::vector<std::int16_t>;

WaveBytes Asset(int id) {
  std::ifstream in(std::string(ZBX_ASSETS_DIR) + "/sound" + std::to_string(id) + ".wav", std::ios::binary);
  return std::make_shared<const std::vector<std::uint8_t>>(std::istreambuf_iterator<char>(in),
                                                          std::istreambuf_iterator<char>());
}

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

Samples Converted(const WaveBytes& wave) { return SoundMixer::Convert(*ParseWave(*wave)); }

// Records what the player writes. The test grants the bytes the output takes, can hold
// Open (a stalled sound server), refuse it (no device) or fail the open stream.
struct ScriptedOutput : AudioOutput {
  struct Script {
    std::mutex mutex;
    std::condition_variable released;
    bool holdOpen = false, noDevice = false, fail = false, open = false;
    int opens = 0;
    std::int64_t granted = 1 << 30;
    std::vector<char> written;
    template <class F>
    void Locked(F change) {
      std::lock_guard lock(mutex);
      change();
    }
    Samples Heard() {
      std::lock_guard lock(mutex);
      Samples s(written.size() / 2);
      for (std::size_t i = 0; i < s.size(); ++i)
        s[i] = static_cast<std::int16_t>(static_cast<std::uint8_t>(written[2 * i]) | written[2 * i + 1] << 8);
      return s;
    }
  };
  explicit ScriptedOutput(std::shared_ptr<Script> s) : script(std::move(s)) {}
  bool Open(int rate) override {
    std::unique_lock lock(script->mutex);
    script->released.wait(lock, [this] { return !script->holdOpen; });
    ++script->opens;
    script->open = !script->noDevice && rate == SoundMixer::kRate;
    return script->open;
  }
  std::int64_t BytesFree() override {
    std::lock_guard lock(script->mutex);
    return script->granted;
  }
  std::int64_t Write(const char* data, std::int64_t size) override {
    std::lock_guard lock(script->mutex);
    script->written.insert(script->written.end(), data, data + size);
    script->granted -= size;
    return size;
  }
  bool Drained() override { return true; }
  bool Failed() override {
    std::lock_guard lock(script->mutex);
    return script->fail;
  }
  void Close() override {
    std::lock_guard lock(script->mutex);
    script->open = false;
  }
  std::shared_ptr<Script> script;
};

class WavePlayerTest : public testing::Test {
 protected:
  void Grant(std::int64_t frames) {
    script_->Locked([&] { script_->granted = frames * 2; });
  }
  bool PlayedOut() { return QTest::qWaitFor([this] { return !player_.IsPlaying(); }, 5000); }
  // `first` played until `cut` frames are out, then replaced by `second`; all that is heard.
  Samples Replaced(const WaveBytes& first, std::size_t cut, const WaveBytes& second) {
    Grant(static_cast<std::int64_t>(cut));
    player_.Play(first);
    EXPECT_TRUE(QTest::qWaitFor([&] { return script_->Heard().size() == cut; }, 5000));
    player_.Play(second);
    QTest::qWait(30);  // the player takes the new sound before it may write again
    Grant(1 << 20);
    EXPECT_TRUE(PlayedOut());
    return script_->Heard();
  }

  std::shared_ptr<ScriptedOutput::Script> script_ = std::make_shared<ScriptedOutput::Script>();
  WavePlayer player_{std::make_unique<ScriptedOutput>(script_)};
};

constexpr int kFade = SoundMixer::kFadeFrames;

// Where `tail` (a sound started in the middle of the stream) begins in heard, judged by
// its samples after the fade: the index, or -1.
long StartOf(const Samples& heard, const Samples& tail) {
  for (std::size_t k = 0; k + tail.size() <= heard.size(); ++k) {
    bool match = true;
    for (std::size_t j = kFade; j < tail.size() && match; ++j) match = heard[k + j] == tail[j];
    if (match) return static_cast<long>(k);
  }
  return -1;
}

int LargestStep(const Samples& s, std::size_t from, std::size_t to) {
  int step = 0;
  for (std::size_t i = std::max<std::size_t>(from, 1); i < to && i < s.size(); ++i)
    step = std::max(step, std::abs(s[i] - s[i - 1]));
  return step;
}

TEST_F(WavePlayerTest, AReplacedSoundFadesOutWhileTheNewOneStartsAtOnce) {
  // A steady level cut by a sound of the opposite sign: any jump at the switch is a click.
  const Samples level(4000, 12000);
  Samples other(2000);
  for (std::size_t j = 0; j < other.size(); ++j) other[j] = static_cast<std::int16_t>(-6000 + static_cast<int>(j % 5));
  const Samples heard = Replaced(Wave(level), 1000, Wave(other));
  ASSERT_EQ(StartOf(heard, other), 1000) << "the new sound starts right where the old one was cut";
  for (std::size_t i = 0; i < 1000; ++i) ASSERT_EQ(heard[i], 12000) << i;
  // Beside the new sound the old one falls from its level to nothing in even steps.
  const int expectedStep = 12000 / kFade + 1;
  EXPECT_LE(LargestStep(heard, 1001, 1000 + kFade + 1), expectedStep + 4);
  EXPECT_GE(heard[1000], -6000 + 12000 - expectedStep);
  EXPECT_EQ(heard[1000 + kFade], other[kFade]);
  EXPECT_GE(kFade, SoundMixer::kRate * 2 / 1000);  // a few milliseconds: 2 to 10
  EXPECT_LE(kFade, SoundMixer::kRate * 10 / 1000);
}

TEST_F(WavePlayerTest, NoSoundEndsOnAJumpAndSilenceFollowsTheLast) {
  player_.Play(Wave(Samples(300, -20000)));
  ASSERT_TRUE(PlayedOut());
  const Samples heard = script_->Heard();
  ASSERT_GE(heard.size(), 300u + kFade + SoundMixer::kTrailingFrames);
  EXPECT_EQ(heard[299], -20000);
  EXPECT_LE(LargestStep(heard, 300, heard.size()), 20000 / kFade + 1);
  EXPECT_EQ(heard[300 + kFade], 0);
  EXPECT_EQ(heard.back(), 0);
  EXPECT_FALSE(script_->open);  // closed once played out
}

TEST_F(WavePlayerTest, TheBonusJingleCutByACatchHasNoClick) {
  const WaveBytes jingle = Asset(2), catchSound = Asset(1);
  const Samples a = Converted(jingle), b = Converted(catchSound);
  const std::size_t cut = a.size() / 3;
  const Samples heard = Replaced(jingle, cut, catchSound);
  ASSERT_EQ(StartOf(heard, b), static_cast<long>(cut));
  // What is heard besides the catch is the jingle going on from where it was and fading.
  int jump = 0;
  for (int j = 0; j < kFade; ++j) {
    const int rest = heard[cut + j] - b[j];
    const int previous = j == 0 ? a[cut - 1] : heard[cut + j - 1] - b[j - 1];
    jump = std::max(jump, std::abs(rest - previous));
  }
  EXPECT_LE(jump, LargestStep(a, cut - 1, cut + kFade) + 32768 / kFade + 1);
  EXPECT_EQ(jingle.use_count(), 1);  // nothing of it kept once replaced
}

TEST_F(WavePlayerTest, ABlockedOutputNeverHoldsTheCallerAndOnlyTheNewestWaitingSoundPlays) {
  script_->Locked([this] { script_->holdOpen = true; });
  const WaveBytes first = Wave(Samples(500, 100)), second = Wave(Samples(500, 200)),
                  newest = Wave(Samples(500, 300));
  player_.Play(first);  // the player's thread now waits in Open
  player_.Play(second);
  player_.Play(newest);
  EXPECT_TRUE(player_.IsPlaying());
  EXPECT_EQ(second.use_count(), 1);  // replaced while waiting: not kept
  script_->Locked([this] { script_->holdOpen = false; });
  script_->released.notify_all();
  ASSERT_TRUE(PlayedOut());
  const Samples heard = script_->Heard();
  ASSERT_GE(heard.size(), 500u);
  EXPECT_EQ(Samples(heard.begin(), heard.begin() + 500), Samples(500, 300));
  EXPECT_EQ(script_->opens, 1);
  EXPECT_EQ(first.use_count(), 1);
}

TEST_F(WavePlayerTest, WithoutAnOutputOrWhenItFailsTheGameGoesOnSilentlyAndLaterSoundsTryAgain) {
  script_->noDevice = true;
  player_.Play(Asset(1));
  ASSERT_TRUE(PlayedOut());
  EXPECT_EQ(script_->Heard().size(), 0u);
  script_->noDevice = false;
  Grant(100);
  player_.Play(Asset(3));
  ASSERT_TRUE(QTest::qWaitFor([this] { return script_->Heard().size() == 100; }, 5000));
  script_->Locked([this] { script_->fail = true; });  // the sound server went away
  ASSERT_TRUE(PlayedOut());
  script_->Locked([this] { script_->fail = false; });
  Grant(1 << 20);
  const WaveBytes later = Asset(1);
  player_.Play(later);
  ASSERT_TRUE(PlayedOut());
  EXPECT_EQ(script_->opens, 3);
  EXPECT_GE(StartOf(script_->Heard(), Converted(later)), 100);
}

// No bytes, bytes the wave reader refuses (tests/platform/wave_file_test.cpp has which),
// and a wave without samples.
TEST_F(WavePlayerTest, IgnoresWhatIsNotAPlayableWave) {
  const WaveBytes bad[] = {nullptr, std::make_shared<const std::vector<std::uint8_t>>(100, 0xAB), Wave({})};
  for (const WaveBytes& wave : bad) {
    player_.Play(wave);
    EXPECT_FALSE(player_.IsPlaying());
    EXPECT_LE(wave.use_count(), 1);  // the player kept nothing
  }
  EXPECT_EQ(script_->opens, 0);
}

}  // namespace
}  // namespace zbx
