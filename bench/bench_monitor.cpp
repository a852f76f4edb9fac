// Monitoring speed: the sampling rate the acquisition loop achieves with three channels at
// 200 Hz and at 1000 Hz over 5 s of the real timer, as a ratio to the requested rate, and the
// share of one processor core the loop used meanwhile.
#include <benchmark/benchmark.h>
#include <QApplication>
#include <QComboBox>
#include <QTimer>
#include <chrono>
#include <ctime>
#include <memory>

#include "acquisition/acquire.h"
#include "app/main_window.h"
#include "app/settings.h"
#include "gui_main.h"

using namespace quarvel;

static void BM_MonitorRate(benchmark::State& state) {
  const int rate = static_cast<int>(state.range(0));
  const double seconds = 5.0;
  double achieved = 0, cpu_share = 0;
  for (auto _ : state) {
    auto w = std::make_unique<MainWindow>(system_services());
    w->resize(1280, 800);
    w->show();
    QApplication::processEvents();
    for (int i = 0; i < 3; ++i) {
      w->ch_list[static_cast<size_t>(i)]->setCurrentIndex(i + 1);
      ch_list_click(*w, i);
    }
    w->sampling_hz->setEditText(QString::number(rate));
    sampling_hz_lost_focus(*w);
    QTimer::singleShot(static_cast<int>(seconds * 1000), w.get(), [&] { w->s.stop_request = kTrue; });
    const auto t0 = std::chrono::steady_clock::now();
    const std::clock_t c0 = std::clock();
    monitor_click(*w);
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    const double cpu = static_cast<double>(std::clock() - c0) / CLOCKS_PER_SEC;
    const double frames = w->s.sim_phase / 3.0;  // three samples a frame, counter reset at the start
    achieved = frames / wall / rate;
    cpu_share = cpu / wall;
    state.SetIterationTime(wall);
  }
  state.counters["requested_hz"] = rate;
  state.counters["achieved_ratio"] = achieved;
  state.counters["cpu_share_of_one_core"] = cpu_share;
}
BENCHMARK(BM_MonitorRate)->Arg(200)->Arg(1000)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

QUARVEL_BENCHMARK_GUI_MAIN()
