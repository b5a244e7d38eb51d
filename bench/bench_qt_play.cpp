// A game playing in the real window with the real event loop for ten seconds: how
// regularly the 10 ms game timer delivers its ticks, and what the process spends on it.
// The console's "onlylifes" cheat keeps bombs away, so no explosion pause (a designed
// busy-wait that holds the timer) falls into the measurement. Run it on the offscreen
// platform (bench/run) or on an X server (bench/play.sh: QT_QPA_PLATFORM=xcb).
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QApplication>
#include <QEventLoop>
#include <QPaintEvent>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <vector>

#include "flow/bindings.h"
#include "flow/keyboard.h"
#include "flow/keys.h"
#include "flow/startup_exit.h"
#include "game/delay.h"
#include "game/game.h"
#include "platform/qt/qt_platform.h"
#include "platform/winreg.h"
#include "window/form1.h"
#include "window/qt/form_view.h"

namespace {

using Clock = std::chrono::steady_clock;

void EnsureApplication() {
  if (QCoreApplication::instance() != nullptr) return;
  static int argc = 1;
  static char name[] = "zorbanix_bench";
  static char* argv[] = {name, nullptr};
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static QApplication app(argc, argv);
}

double CpuSeconds() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
         static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

void Press(zbx::Game& g, std::int16_t key) {
  std::int16_t shift = 0;
  zbx::Form_KeyDown(g, key, shift);
}

void Cheat(zbx::Form1& form, const char* command) {
  form.txtCheat.SetText(command);
  std::int16_t key = zbx::vk::kEnter, shift = 0;
  form.txtCheat.on.KeyDown(key, shift);
}

// Adds up what the window repaints: how many paint events, how many pixels, and the
// longest time between two of them.
class PaintCounter : public QObject {
 public:
  long events = 0;
  double pixels = 0;
  double longestGapMs = 0;
  Clock::time_point last{};

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override {
    if (e->type() == QEvent::Paint) {
      const auto now = Clock::now();
      if (events > 0) longestGapMs = std::max(longestGapMs, std::chrono::duration<double, std::milli>(now - last).count());
      last = now;
      ++events;
      for (const QRect& r : static_cast<QPaintEvent*>(e)->region()) pixels += static_cast<double>(r.width()) * r.height();
    }
    return QObject::eventFilter(watched, e);
  }
};

double Percentile(std::vector<double> v, double p) {
  if (v.empty()) return 0;
  const auto i = static_cast<std::size_t>(p * static_cast<double>(v.size() - 1));
  std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(i), v.end());
  return v[i];
}

// With state.range(0) > 0, a catch sound starts every range(0) ticks (through the real
// wave player and the desktop's sound server, whatever state that server is in).
void BM_PlayTicksFor10s(benchmark::State& state) {
  EnsureApplication();
  auto store = zbx::win::OpenRegistryStore(":memory:");
  zbx::Form1 form;
  zbx::qt::QtPlatform platform;
  zbx::Game game(form, platform);
  game.registryStore = store.get();
  zbx::BindGame(game);
  zbx::qt::FormView view(form);
  platform.SetWindow(&view);

  std::vector<Clock::time_point> ticks;
  ticks.reserve(2000);
  auto tick = std::move(form.timCounter.Tick);
  const long soundEvery = state.range(0);
  const auto catchSound = std::make_shared<const std::vector<std::uint8_t>>(platform.LoadResource("WAV", 1));
  double longestSoundStartMs = 0;
  form.timCounter.Tick = [&, tick] {
    ticks.push_back(Clock::now());
    tick();
    if (soundEvery > 0 && ticks.size() % static_cast<std::size_t>(soundEvery) == 0) {
      const auto before = Clock::now();
      platform.PlayWave(catchSound);
      longestSoundStartMs = std::max(longestSoundStartMs, std::chrono::duration<double, std::milli>(Clock::now() - before).count());
    }
  };

  form.on.Load();
  view.show();
  zbx::GiveFirstFocus(game);
  QApplication::processEvents();
  form.txtName.SetText("Bench");
  Press(game, zbx::vk::kEnter);  // the mouse controller: the basket stays put
  form.frameCheat.SetVisible(true);
  Cheat(form, "grand old vortex");
  Cheat(form, "onlylifes");
  form.frameCheat.SetVisible(false);

  PaintCounter paints;
  view.installEventFilter(&paints);
  for (auto _ : state) {
    ticks.clear();
    paints.events = 0;
    paints.pixels = 0;
    Press(game, zbx::vk::kF5);
    const double cpuBefore = CpuSeconds();
    const auto start = Clock::now();
    QEventLoop loop;
    QTimer::singleShot(10000, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
    const double wall = std::chrono::duration<double>(Clock::now() - start).count();
    const double cpu = CpuSeconds() - cpuBefore;

    std::vector<double> intervals;
    for (std::size_t i = 1; i < ticks.size(); ++i)
      intervals.push_back(std::chrono::duration<double, std::milli>(ticks[i] - ticks[i - 1]).count());
    state.counters["ticks_per_s"] = static_cast<double>(ticks.size()) / wall;
    state.counters["p50_ms"] = Percentile(intervals, 0.50);
    state.counters["p99_ms"] = Percentile(intervals, 0.99);
    state.counters["max_ms"] = intervals.empty() ? 0 : *std::max_element(intervals.begin(), intervals.end());
    state.counters["cpu_pct"] = 100 * cpu / wall;
    const double n = ticks.empty() ? 1.0 : static_cast<double>(ticks.size());
    state.counters["paints_per_tick"] = static_cast<double>(paints.events) / n;
    state.counters["paint_px_per_tick"] = paints.pixels / n;
    state.counters["still_running"] = game.s.GameRunning == zbx::kTrue ? 1 : 0;
    state.counters["max_paint_gap_ms"] = paints.longestGapMs;
    if (soundEvery > 0) state.counters["max_sound_start_ms"] = longestSoundStartMs;
  }
}
BENCHMARK(BM_PlayTicksFor10s)->Arg(0)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_PlayTicksFor10s)->Name("BM_PlayWithSoundsFor10s")->Arg(20)->Iterations(1)->Unit(benchmark::kSecond);

// What starting a sound costs the caller (the game's tick): the wave player's Play.
void BM_SoundStart(benchmark::State& state) {
  EnsureApplication();
  zbx::qt::QtPlatform platform;
  const auto catchSound = std::make_shared<const std::vector<std::uint8_t>>(platform.LoadResource("WAV", 1));
  for (auto _ : state) {
    const auto before = Clock::now();
    platform.PlayWave(catchSound);
    state.SetIterationTime(std::chrono::duration<double>(Clock::now() - before).count());
    QCoreApplication::processEvents();  // what the event loop does between two ticks
    QThread::msleep(30);
  }
}
BENCHMARK(BM_SoundStart)->UseManualTime()->Iterations(100)->Unit(benchmark::kMicrosecond);

// The pause of an explosion or of the end of a game: Delay waits on the clock,
// sleeping a millisecond between reads. What share of a core does such a wait take?
void BM_DelayCpuShare(benchmark::State& state) {
  EnsureApplication();
  zbx::Form1 form;
  zbx::qt::QtPlatform platform;
  zbx::Game game(form, platform);
  double cpu = 0, wall = 0;
  for (auto _ : state) {
    const double cpuBefore = CpuSeconds();
    const auto start = Clock::now();
    zbx::Delay(game, 2000);
    wall += std::chrono::duration<double>(Clock::now() - start).count();
    cpu += CpuSeconds() - cpuBefore;
  }
  state.counters["wait_s"] = wall / static_cast<double>(state.iterations());
  state.counters["cpu_pct"] = 100 * cpu / wall;
}
BENCHMARK(BM_DelayCpuShare)->Iterations(3)->Unit(benchmark::kSecond);

}  // namespace
