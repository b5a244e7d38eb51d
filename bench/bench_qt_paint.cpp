// Painting the window (Qt offscreen): the whole window, and one frame of a falling
// object (move the picture box, repaint what changed). Each reports the median time of
// a frame as "median_us", besides Google Benchmark's mean.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <vector>

#include "window/form1.h"
#include "window/qt/form_view.h"

namespace {

void EnsureApplication() {
  if (QCoreApplication::instance() != nullptr) return;
  static int argc = 1;
  static char name[] = "zorbanix_bench";
  static char* argv[] = {name, nullptr};
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static QApplication app(argc, argv);
}

// Times each frame, so that the median can be reported beside the mean.
class FrameTimes {
 public:
  template <class Fn>
  void Frame(Fn&& fn) {
    const auto start = std::chrono::steady_clock::now();
    fn();
    times_.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
  }
  double Median() {
    if (times_.empty()) return 0;
    std::nth_element(times_.begin(), times_.begin() + times_.size() / 2, times_.end());
    return times_[times_.size() / 2];
  }

 private:
  std::vector<double> times_;
};

void PaintWholeWindow(benchmark::State& state, bool newGamePanel) {
  EnsureApplication();
  zbx::Form1 form;
  form.frameNewGame.SetVisible(newGamePanel);
  zbx::qt::FormView view(form);
  view.show();
  QApplication::processEvents();
  FrameTimes frames;
  for (auto _ : state) frames.Frame([&view] { view.repaint(); });
  state.counters["median_us"] = frames.Median();
}

void BM_PaintWholeWindow(benchmark::State& state) { PaintWholeWindow(state, false); }
void BM_PaintWholeWindowWithNewGamePanel(benchmark::State& state) { PaintWholeWindow(state, true); }

// One tick's worth of drawing: the object moves down and only its old and new
// rectangles are repainted.
void BM_PaintMovingPicture(benchmark::State& state) {
  EnsureApplication();
  zbx::Form1 form;
  zbx::qt::FormView view(form);
  view.show();
  form.picPlanet.SetPicture(form.imlPlanets.ListImage(13));
  QApplication::processEvents();
  double top = 840;
  FrameTimes frames;
  for (auto _ : state) {
    frames.Frame([&] {
      top = top > 7000 ? 840 : top + 45;  // 3 pixels a frame
      form.picPlanet.SetTop(top);
      QApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
    });
  }
  state.counters["median_us"] = frames.Median();
}

}  // namespace

BENCHMARK(BM_PaintWholeWindow)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PaintWholeWindowWithNewGamePanel)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PaintMovingPicture)->Unit(benchmark::kMicrosecond);
