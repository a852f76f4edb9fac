// Cost of one full picture (draw_frame + draw_curves) of a long continuous recording: 180 s of
// three channels at 200 Hz and at 1000 Hz on surfaces 1000 and 500 pixels wide. Above six
// samples per pixel the curves are min/max columns, so the drawing follows the pixel width and
// only the min/max scan follows the sample count. One case of joined lines at six samples per
// pixel (the most the line method draws) is given for comparison.
#include <benchmark/benchmark.h>
#include <QApplication>
#include <QCoreApplication>
#include <cmath>
#include <memory>
#include <random>

#include "app/main_window.h"
#include "display/draw_curves.h"
#include "display/draw_frame.h"
#include "display/plot_geometry.h"
#include "ui/surface.h"

using namespace quarvel;

namespace {

MainWindow* window = nullptr;

// A loaded continuous recording of `seconds` at `rate` Hz on three channels (noise on a slow
// sine, with a marker run and a few stimuli), on a surface `px` pixels wide showing all of it.
void load(MainWindow& w, double rate, double seconds, int px) {
  w.disp->setFixedSize(px, 500);
  QCoreApplication::processEvents();
  SharedState& s = w.s;
  const int32_t n = static_cast<int32_t>(std::lround(rate * seconds));
  s.file_loaded = kTrue;
  s.block_mode = kFalse;
  s.sampling_rate = static_cast<float>(rate);
  s.sample_interval = static_cast<float>(1 / rate);
  s.sample_count = n;
  s.channel_count = 3;
  s.ch_source = {1, 2, 3};
  s.raw_data.redim(3, n);
  s.work_data.redim(3, n);
  redim(s.marker_data, n);
  std::mt19937 gen(7);
  std::uniform_real_distribution<float> noise(-100, 100);
  for (int ch = 1; ch <= 3; ++ch) {
    for (int32_t i = 0; i <= n; ++i) {
      const float v = static_cast<float>(600 * std::sin(i / rate * 0.5 + ch)) + noise(gen);
      s.raw_data(ch, i) = v;
      s.work_data(ch, i) = v;
    }
    s.ch_max[ch] = 700;
  }
  for (int32_t i = n / 4; i < n / 2; ++i) s.marker_data[static_cast<size_t>(i)] = 100;
  for (int k = 1; k < 20; ++k) s.marker_data[static_cast<size_t>(n / 20 * k)] = 200;
  s.scr_length = static_cast<float>(seconds);
  s.scr_factor = 1;
  s.view_start = 0;
  w.disp->set_scale_width(continuous_width(s));
}

void draw_picture(benchmark::State& state, double rate, double seconds, int px) {
  load(*window, rate, seconds, px);
  for (auto _ : state) {
    draw_frame(*window);
    draw_curves(*window);
    benchmark::DoNotOptimize(window->disp->image().constBits());
  }
  state.counters["samples_per_px"] = window->disp->scale_width() / window->s.disp_px_width;
  state.counters["px"] = window->s.disp_px_width;
}

// The frame alone (clear, axes, labels): the part of a picture that no data changes.
void draw_empty_frame(benchmark::State& state, int px) {
  load(*window, 200, 180, px);
  for (auto _ : state) {
    draw_frame(*window);
    benchmark::DoNotOptimize(window->disp->image().constBits());
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  auto w = std::make_unique<MainWindow>(system_services());
  w->show();
  QCoreApplication::processEvents();
  window = w.get();

  for (const int px : {1000, 500}) {
    for (const double rate : {200.0, 1000.0}) {
      const std::string name =
          "picture_180s_3ch/" + std::to_string(static_cast<int>(rate)) + "Hz/" + std::to_string(px) + "px";
      benchmark::RegisterBenchmark(name.c_str(), draw_picture, rate, 180.0, px)
          ->Unit(benchmark::kMillisecond);
    }
  }
  for (const int px : {1000, 500}) {
    const std::string name = "frame_only/" + std::to_string(px) + "px";
    benchmark::RegisterBenchmark(name.c_str(), draw_empty_frame, px)->Unit(benchmark::kMillisecond);
  }
  // 6 samples per pixel on 1000 pixels: 4.8 s at 1000 Hz, joined lines
  benchmark::RegisterBenchmark("picture_lines_6spp_3ch/1000Hz/1000px", draw_picture, 1000.0, 4.8, 1000)
      ->Unit(benchmark::kMillisecond);

  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  w.reset();
  return 0;
}
