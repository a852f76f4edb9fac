// Cost of a picture next to a reference measured in the same run, so the ratio holds on any
// machine. Each case runs 5 repetitions; the medians are what counts.
//   view/...   a whole long recording (or a long part of it) on one screen: min/max columns.
//              Reference: one min/max pass over the samples the view shows (what drawing them
//              costs when it follows the samples rather than the pixels).
//   page/...   a 1-second page of joined lines, the curves alone (draw_curves over the frame).
//              Reference: one drawPolyline per channel of the same points into a QImage of the
//              same size.
//   frame/...  the frame alone (clear, axes, labels), the part of every picture that no data
//              changes.
// The time column is the product's; counters: ref_ms (the reference), x_ref (product / reference).
#include <benchmark/benchmark.h>
#include <QApplication>
#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "display/curve_plan.h"
#include "display/draw_curves.h"
#include "display/draw_frame.h"
#include "display/plot_geometry.h"
#include "ui/surface.h"

using namespace quarvel;

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kHeight = 500;

MainWindow* window = nullptr;

template <typename F>
double ms_of(F&& f) {
  const Clock::time_point t0 = Clock::now();
  f();
  return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

// Which recording is loaded, so cases on the same one do not fill it again.
struct Loaded {
  double rate = 0;
  double seconds = 0;
} loaded;

// A continuous recording of `seconds` at `rate` Hz on three channels (noise on a slow sine, with
// a marker run and a few stimuli) loaded as a file read leaves it: samples 0..n, the working
// samples a copy of the raw ones.
void load(MainWindow& w, double rate, double seconds) {
  SharedState& s = w.s;
  if (loaded.rate == rate && loaded.seconds == seconds) return;
  const int32_t n = static_cast<int32_t>(std::lround(rate * seconds));
  s.file_loaded = kTrue;
  s.block_mode = kFalse;
  s.sampling_rate = static_cast<float>(rate);
  s.sample_interval = static_cast<float>(1 / rate);
  s.sample_count = n;
  s.channel_count = 3;
  s.ch_source = {1, 2, 3};
  s.work_data.clear();
  s.raw_data.redim(3, n);
  redim(s.marker_data, n);
  // A table of noise repeated with a stride that is prime to its length keeps filling cheap.
  std::vector<float> noise(65521);
  uint32_t x = 7;
  for (float& v : noise) {
    x = x * 1664525u + 1013904223u;
    v = static_cast<float>(x >> 8) / static_cast<float>(1 << 24) * 200 - 100;
  }
  for (int ch = 1; ch <= 3; ++ch) {
    for (int32_t i = 0; i <= n; ++i) {
      s.raw_data(ch, i) = static_cast<float>(600 * std::sin(i / rate * 0.5 + ch)) +
                          noise[static_cast<size_t>((static_cast<int64_t>(i) * 7 + ch * 1000) % 65521)];
    }
    s.ch_max[ch] = 700;
  }
  for (int32_t i = n / 4; i < n / 2; ++i) s.marker_data[static_cast<size_t>(i)] = 100;
  for (int k = 1; k < 20; ++k) s.marker_data[static_cast<size_t>(n / 20 * k)] = 200;
  s.work_data = s.raw_data;
  loaded = Loaded{rate, seconds};
}

// Shows `shown` seconds from `from` on a surface px pixels wide.
void show(MainWindow& w, int px, double from, double shown) {
  w.disp->setFixedSize(px, kHeight);
  QCoreApplication::processEvents();
  SharedState& s = w.s;
  s.scr_length = static_cast<float>(shown);
  s.scr_factor = 1;
  s.view_start = from * s.sampling_rate;
  w.disp->set_scale_width(continuous_width(s));
}

// One min/max pass over the samples of every channel that the view shows.
void minmax_pass(const SharedState& s, int64_t first, int64_t last) {
  for (int ch = 1; ch <= 3; ++ch) {
    const ValueRange r = column_range(s.work_data.channel(ch), s.work_data.size(), first, last, 0);
    benchmark::DoNotOptimize(r);
  }
}

void report(benchmark::State& state, double product_ms, double ref_ms) {
  state.counters["ref_ms"] = ref_ms / static_cast<double>(state.iterations());
  state.counters["x_ref"] = product_ms / ref_ms;
  state.counters["px"] = window->s.disp_px_width;
}

// The whole picture (frame and curves) of a long view against a min/max pass over its samples.
void view(benchmark::State& state, double rate, double seconds, int px, double from, double shown) {
  MainWindow& w = *window;
  load(w, rate, seconds);
  show(w, px, from, shown);
  draw_frame(w);
  draw_curves(w);  // a first picture, as File > Open draws one
  const int64_t first = std::lround(from * rate);
  const int64_t last = first + std::lround(shown * rate);
  double product = 0, ref = 0;
  for (auto _ : state) {
    const double t = ms_of([&] {
      draw_frame(w);
      draw_curves(w);
      benchmark::DoNotOptimize(w.disp->image().constBits());
    });
    state.SetIterationTime(t / 1000);
    product += t;
    ref += ms_of([&] { minmax_pass(w.s, first, last); });
  }
  report(state, product, ref);
  state.counters["samples_per_px"] = shown * rate / w.s.disp_px_width;
}

// The curves of a 1-second page against one drawPolyline per channel of the same points.
void page(benchmark::State& state, int px) {
  MainWindow& w = *window;
  load(w, 1000, 600);
  show(w, px, 300, 1.0);
  draw_frame(w);
  draw_curves(w);
  // The reference's points: sample i at its pixel column, in the band of its channel.
  std::vector<std::vector<QPoint>> lines(3);
  const int64_t first = std::lround(w.s.view_start);
  for (int ch = 1; ch <= 3; ++ch) {
    const PlotGeometry g = w.channel_geometry(ch);
    UserScale u = w.disp->scale();  // the horizontal scale draw_curves leaves
    u.top = g.top();
    u.height = g.height();
    const PixelMap m(u, w.disp->pixel_width(), w.disp->pixel_height());
    for (int64_t i = first; i <= first + 1000; ++i) {
      const double y = g.clamp_to_band(w.s.work_data(ch, static_cast<int32_t>(i)));
      lines[static_cast<size_t>(ch - 1)].emplace_back(m.pixel_x(static_cast<double>(i - first)), m.pixel_y(y));
    }
  }
  QImage target(w.disp->pixel_width(), w.disp->pixel_height(), QImage::Format_RGB32);
  target.fill(Qt::black);
  double product = 0, ref = 0;
  for (auto _ : state) {
    const double t = ms_of([&] {
      draw_curves(w);
      benchmark::DoNotOptimize(w.disp->image().constBits());
    });
    state.SetIterationTime(t / 1000);
    product += t;
    ref += ms_of([&] {
      QPainter p(&target);
      for (int ch = 0; ch < 3; ++ch) {
        p.setPen(QPen(QColor::fromRgb(0xFFFF00 >> ch), 0));
        const std::vector<QPoint>& l = lines[static_cast<size_t>(ch)];
        p.drawPolyline(l.data(), static_cast<int>(l.size()));
      }
      p.end();
      benchmark::DoNotOptimize(target.constBits());
    });
  }
  report(state, product, ref);
}

// The frame alone; nothing outside the program draws the same, so it has no reference.
void frame(benchmark::State& state, int px) {
  MainWindow& w = *window;
  load(w, 1000, 600);
  show(w, px, 0, 8);
  for (auto _ : state) {
    draw_frame(w);
    benchmark::DoNotOptimize(w.disp->image().constBits());
  }
}

void add(benchmark::internal::Benchmark* b) {
  b->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5)->Repetitions(5)->ReportAggregatesOnly(true);
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  auto w = std::make_unique<MainWindow>(system_services());
  w->show();
  QCoreApplication::processEvents();
  window = w.get();

  // The page cases first, on a 10-minute recording; then the long recordings, smallest first.
  for (const int px : {1000, 2000}) {
    const std::string name = "page/1s_3ch_1kHz/" + std::to_string(px) + "px";
    add(benchmark::RegisterBenchmark(name.c_str(), page, px));
  }
  for (const int px : {1000, 2000}) {
    const std::string name = "frame/" + std::to_string(px) + "px";
    benchmark::RegisterBenchmark(name.c_str(), frame, px)->Unit(benchmark::kMillisecond)->Repetitions(5)
        ->ReportAggregatesOnly(true);
  }
  const double hour = 3600;
  struct Case {
    const char* name;
    double seconds, from, shown;
    int px;
  };
  for (const Case& c : {Case{"view/10h_3ch_1kHz/whole/1000px", 10 * hour, 0, 10 * hour, 1000},
                        Case{"view/10h_3ch_1kHz/whole/2000px", 10 * hour, 0, 10 * hour, 2000},
                        Case{"view/24h_3ch_1kHz/whole/2000px", 24 * hour, 0, 24 * hour, 2000},
                        Case{"view/24h_3ch_1kHz/1h_at_12h/2000px", 24 * hour, 12 * hour, hour, 2000},
                        Case{"view/24h_3ch_1kHz/10s_at_20h/2000px", 24 * hour, 20 * hour, 10, 2000}}) {
    add(benchmark::RegisterBenchmark(c.name, view, 1000.0, c.seconds, c.px, c.from, c.shown));
  }

  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  w.reset();
  return 0;
}
