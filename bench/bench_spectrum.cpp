// The power spectrum against the same pipeline written plainly here on FFTW (detrend, taper,
// zero padding, fftw_execute, smoothing), both measured in the same run:
//   spectrum_1000x8192x3  power_spectrum on 1000 blocks of 8192 samples on three channels;
//   psd_command_1000x500x3  the PSD command on a window with a loaded file of 1000 blocks of 500
//                           samples on three channels, progress window and picture included.
// The time reported is the product's; the counters give the reference measured alongside
// (reference_ms), their ratio (product / reference) and, for the command, how often the progress
// window was painted.
#include <benchmark/benchmark.h>
#include <fftw3.h>
#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QWindow>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include "app/main_window.h"
#include "window/display/loaded_views.h"
#include "gui_main.h"
#include "modes/spectrum.h"
#include "modes/spectrum_view.h"
#include "ui/progress_window.h"
#include "ui/surface.h"

using namespace quarvel;

namespace {

using Clock = std::chrono::steady_clock;

double seconds_since(Clock::time_point t0) {
  return std::chrono::duration<double>(Clock::now() - t0).count();
}

// The reference pipeline: what a straightforward use of FFTW for this spectrum looks like, with
// a measured plan made before the timing starts.
class PlainFftwSpectrum {
 public:
  explicit PlainFftwSpectrum(int32_t m) : m_(m) {
    n_ = 1;
    while (n_ < m) n_ *= 2;
    pad_ = static_cast<int32_t>(std::nearbyint((n_ - m) / 2.0));
    // The split cosine bell over the whole block, 1 between its edges.
    const int32_t l = m / 10;
    window_.assign(static_cast<size_t>(m), 1.0f);
    for (int32_t j = 0; j < l; ++j) {
      const float w = static_cast<float>((1 - std::cos(3.1415926535359 * j / l)) * 0.5);
      window_[static_cast<size_t>(j)] = window_[static_cast<size_t>(m - 1 - j)] = w;
    }
    in_ = fftw_alloc_real(static_cast<size_t>(n_));
    out_ = fftw_alloc_complex(static_cast<size_t>(n_ / 2 + 1));
    plan_ = fftw_plan_dft_r2c_1d(n_, in_, out_, FFTW_MEASURE);
    power_.resize(static_cast<size_t>(n_ / 2));
  }
  ~PlainFftwSpectrum() {
    fftw_destroy_plan(plan_);
    fftw_free(in_);
    fftw_free(out_);
  }

  // Spectra of blocks 1..blocks of channels 1..data.channels(), in an array shaped like the
  // product's (so both pay the same for their memory), and the largest interior bin of each
  // channel.
  SampleArray run(const SampleArray& data, int32_t blocks, PerChannel<float>& top) {
    const int32_t h = n_ / 2;
    SampleArray spectra;
    spectra.redim(3, blocks * h);
    top.fill(0);
    for (int32_t k = 0; k < blocks; ++k) {
      for (int c = 1; c <= data.channels(); ++c) {
        const float* x = data.channel(c) + static_cast<size_t>(k) * static_cast<size_t>(m_);
        float sx = 0, sxi = 0;
        for (int32_t i = 0; i < m_; ++i) {
          sx += x[i];
          sxi += static_cast<float>(i) * x[i];
        }
        const float fm = static_cast<float>(m_);
        const float si = static_cast<float>(static_cast<double>(m_) * (m_ - 1) / 2);
        const float sii = static_cast<float>(static_cast<double>(m_ - 1) * m_ * (2.0 * m_ - 1) / 6);
        const float slope = (sxi - si * sx / fm) / (sii - si * si / fm);
        const float intercept = (sx - si * slope) / fm;
        std::fill(in_, in_ + pad_, 0.0);
        std::fill(in_ + pad_ + m_, in_ + n_, 0.0);
        for (int32_t i = 0; i < m_; ++i) {
          in_[pad_ + i] =
              (x[i] - intercept - slope * static_cast<float>(i)) * window_[static_cast<size_t>(i)];
        }
        fftw_execute(plan_);
        for (int32_t j = 0; j < h; ++j)
          power_[static_cast<size_t>(j)] = (out_[j][0] * out_[j][0] + out_[j][1] * out_[j][1]) / 1000000;
        float* s = spectra.write_channel(c) + static_cast<size_t>(k) * static_cast<size_t>(h);
        const double* p = power_.data();
        s[0] = static_cast<float>(0.54 * p[0] + 0.23 * p[1]);
        s[h - 1] = static_cast<float>(0.23 * p[h - 2] + 0.54 * p[h - 1]);
        float largest = top[c];
        for (int32_t j = 1; j <= h - 2; ++j) {
          s[j] = static_cast<float>(0.23 * p[j - 1] + 0.54 * p[j] + 0.23 * p[j + 1]);
          largest = std::max(largest, s[j]);
        }
        top[c] = largest;
      }
    }
    return spectra;
  }

 private:
  int32_t m_, n_, pad_;
  std::vector<float> window_;
  double* in_;
  fftw_complex* out_;
  fftw_plan plan_;
  std::vector<double> power_;
};

// Noise on a slow sine, different on every channel.
SampleArray random_data(int32_t m, int32_t blocks) {
  SampleArray a;
  a.redim(3, m * blocks - 1);
  std::mt19937 gen(5);
  std::uniform_real_distribution<float> noise(-200, 200);
  for (int c = 1; c <= 3; ++c) {
    for (int32_t i = 0; i < m * blocks; ++i) a(c, i) = 800 * std::sin(i * 0.01f * c) + noise(gen);
  }
  return a;
}

// The two agree to float rounding (the tests hold them to one ulp); anything more means the
// comparison is not of the same work.
bool same_maxima(const PerChannel<float>& a, const PerChannel<float>& b) {
  for (int c = 1; c <= 3; ++c) {
    if (std::fabs(a[c] - b[c]) > std::nextafter(b[c], INFINITY) - b[c]) return false;
  }
  return true;
}

void report(benchmark::State& state, double product_s, double reference_s) {
  state.counters["reference_ms"] = benchmark::Counter(reference_s * 1000, benchmark::Counter::kAvgIterations);
  state.counters["ratio"] = product_s / reference_s;
}

void BM_Spectrum(benchmark::State& state) {
  const int32_t m = 8192, blocks = 1000;
  static const SampleArray data = random_data(m, blocks);
  PlainFftwSpectrum reference(m);
  double product_s = 0, reference_s = 0;
  for (auto _ : state) {
    auto t0 = Clock::now();
    const auto r = power_spectrum(data, m, blocks);
    const double p = seconds_since(t0);
    t0 = Clock::now();
    PerChannel<float> top;
    const SampleArray want = reference.run(data, blocks, top);
    reference_s += seconds_since(t0);
    product_s += p;
    state.SetIterationTime(p);
    if (!r || !same_maxima(r->psd_max, top)) state.SkipWithError("the spectrum and the reference differ");
    benchmark::DoNotOptimize(want.channel(1));
  }
  report(state, product_s, reference_s);
}

// Every dialog would be a failure: the command asks nothing of files it can transform.
class NoDialogs : public Dialogs {
 public:
  QString input_box(const QString& prompt, const QString&, const QString&) override {
    qFatal("unexpected: %s", qPrintable(prompt));
  }
  bool yes_no(const QString& text, const QString&) override { qFatal("unexpected: %s", qPrintable(text)); }
  SaveAnswer save_discard_cancel(const QString& text, const QString&) override {
    qFatal("unexpected: %s", qPrintable(text));
  }
  void warning(const QString& text, const QString&) override { qFatal("unexpected: %s", qPrintable(text)); }
  QString open_file(const FileDialogRequest&) override { qFatal("unexpected file dialog"); }
  std::optional<CalibrationAnswer> calibration(const CalibrationRequest&) override {
    qFatal("unexpected calibration dialog");
  }
  QString save_file(const FileDialogRequest&) override { qFatal("unexpected file dialog"); }
  std::optional<FilterSettings> filter_settings(const FilterSettings&, double,
                                                const PerChannel<bool>&) override {
    qFatal("unexpected Filter dialog");
  }
};

// Paint events of the progress window while the command runs.
class PaintCounter : public QObject {
 public:
  bool eventFilter(QObject*, QEvent* e) override {
    paints += counting && e->type() == QEvent::Paint;
    return false;
  }
  bool counting = false;
  int64_t paints = 0;
};

// Shows the progress window and waits until it is on the screen, so the command's updates of it
// really paint, as they would once a desktop has shown it.
void expose_progress_window(MainWindow& w) {
  w.Scroll->show_modeless();
  for (int i = 0; i < 200; ++i) {
    if (w.Scroll->windowHandle() && w.Scroll->windowHandle()->isExposed()) return;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  }
}

void BM_PsdCommand(benchmark::State& state) {
  const int32_t m = 500, blocks = 1000;
  Services svc = system_services();
  svc.dialogs = std::make_unique<NoDialogs>();
  MainWindow w(std::move(svc));
  w.disp->setFixedSize(1000, 500);
  w.show();
  QCoreApplication::processEvents();
  PaintCounter counter;
  w.Scroll->installEventFilter(&counter);
  PlainFftwSpectrum reference(m);
  double product_s = 0, reference_s = 0;
  for (auto _ : state) {
    quarvel::testing::load_block_file(w, m, blocks, 0.01f, 3);
    expose_progress_window(w);
    counter.counting = true;
    auto t0 = Clock::now();
    mnuPSD_click(w);
    const double p = seconds_since(t0);
    counter.counting = false;
    // Lets the hidden progress window and the picture settle, as the event loop would.
    QCoreApplication::processEvents();
    t0 = Clock::now();
    PerChannel<float> top;
    const SampleArray want = reference.run(w.s.raw_data, blocks, top);
    reference_s += seconds_since(t0);
    product_s += p;
    state.SetIterationTime(p);
    if (!w.mnuPSD->isChecked() || !same_maxima(w.s.psd_max, top))
      state.SkipWithError("the PSD command did not give the reference's spectrum");
    benchmark::DoNotOptimize(want.channel(1));
    w.mnuRaw->trigger();
  }
  report(state, product_s, reference_s);
  state.counters["progress_paints"] =
      benchmark::Counter(static_cast<double>(counter.paints), benchmark::Counter::kAvgIterations);
  w.Scroll->removeEventFilter(&counter);
}

}  // namespace

BENCHMARK(BM_Spectrum)
    ->Name("spectrum_1000x8192x3")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(5);
BENCHMARK(BM_PsdCommand)
    ->Name("psd_command_1000x500x3")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10)
    ->Repetitions(5);

QUARVEL_BENCHMARK_GUI_MAIN()
