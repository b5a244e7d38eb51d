// The cost of one game tick on the window model with the scripted platform: a running
// game without cheats, the basket steered under every other object, restarted whenever
// it ends. Waits cost nothing: the fake clock jumps a second per read.
#include <benchmark/benchmark.h>

#include "game/game.h"
#include "game/tick.h"
#include "scores/table_text.h"
#include "support/fake_platform.h"
#include "window/form1.h"

namespace zbx {
namespace {

struct RunningGame {
  RunningGame() {
    platform.advancePerRead = 1.0;
    game.s.HighScores = DefaultHighScores();
    game.s.SoundOn = kTrue;
    Restart();
  }
  void Restart() {
    form.lblScore.SetCaption("0");
    form.lblLifes.SetCaption("25");
    form.framScores.SetVisible(false);
    game.s.GameRunning = kTrue;
    game.s.LaunchPending = kTrue;
    form.timCounter.SetEnabled(true);
  }
  void Tick() {
    if (!form.timCounter.Enabled()) Restart();
    const bool launching = game.s.LaunchPending == kTrue;
    timCounter_Timer(game);
    if (launching && (++launches % 2 == 0)) form.picBasket.SetLeft(game.s.ObjectLeft - 200);
  }

  Form1 form;
  test::FakePlatform platform;
  Game game{form, platform};
  long launches = 0;
};

void BM_GameTick(benchmark::State& state) {
  RunningGame running;
  for (auto _ : state) {
    running.Tick();
    benchmark::ClobberMemory();
  }
  state.counters["launches"] = benchmark::Counter(static_cast<double>(running.launches));
}
BENCHMARK(BM_GameTick)->Repetitions(9)->ReportAggregatesOnly(true)->DisplayAggregatesOnly(true);

// The dearest kind of tick: every one launches (four draws, the captions parsed and the
// speed written).
void BM_GameTickLaunch(benchmark::State& state) {
  RunningGame running;
  running.form.picBasket.SetLeft(-100000);  // never catches
  for (auto _ : state) {
    running.game.s.LaunchPending = kTrue;
    timCounter_Timer(running.game);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_GameTickLaunch)->Repetitions(9)->ReportAggregatesOnly(true)->DisplayAggregatesOnly(true);

}  // namespace
}  // namespace zbx
