// The analysis filter on a day of samples against a plain cascade of the same sections, all
// measured in the same run:
//   filter_24h_3ch_1kHz  apply_filter with a 4th-order Butterworth band-pass of 0.05-35 Hz (four
//                        sections) on 24 h x 3 channels x 1 kHz of float samples (a slow sine and
//                        noise), progress and cancel questions included;
// the reference runs the same sections forward and then backward over the same samples into a
// float copy, with no padding and no starting state: the least a zero-phase filter costs. It is
// timed twice: as a plain loop over the sections (the reference of the goal), and with the four
// sections fixed when compiled, held in registers (registers_ms, x_registers: product / that).
// The time reported is the product's; the counters give the reference (reference_ms), the ratio
// (product / reference, the goal at most 1.5), the peak memory the product took above what the
// process held before (peak_MB, VmHWM against VmRSS), one float copy of the channels filtered
// (one_copy_MB) and their ratio (peak_x_copy, the goal at most 1).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <numbers>
#include <optional>
#include <string>
#include <vector>

#include "core/sample_array.h"
#include "modes/filtering.h"

using namespace quarvel;

namespace {

using Clock = std::chrono::steady_clock;

double seconds_since(Clock::time_point t0) {
  return std::chrono::duration<double>(Clock::now() - t0).count();
}

constexpr double kRate = 1000;
constexpr int32_t kSamples = 24 * 3600 * 1000;

const FilterSettings& band_pass() {
  static const FilterSettings settings{
      .kind = FilterKind::BandPass, .order = 4, .low_hz = 0.05, .high_hz = 35};
  return settings;
}

// A 0.2 Hz sine (a different phase on each channel) plus uniform noise, made by a rotation and a
// xorshift generator: calling sin for every one of 259 million samples would take longer than
// the work measured.
const SampleArray& day_of_samples() {
  static const SampleArray data = [] {
    SampleArray a;
    a.redim_for_filling(3, kSamples - 1);
    uint64_t state = 88172645463325252ull;
    const double step = 2 * std::numbers::pi * 0.2 / kRate;
    for (int c = 1; c <= 3; ++c) {
      float* x = a.write_channel(c);
      double re = std::cos(c), im = std::sin(c);
      const double cs = std::cos(step), sn = std::sin(step);
      for (int32_t i = 0; i < kSamples; ++i) {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        const double noise = static_cast<double>(state >> 11) / 9007199254740992.0 - 0.5;
        x[i] = static_cast<float>(500 * im + 100 * noise);
        const double r = re * cs - im * sn;
        im = re * sn + im * cs;
        re = r;
      }
    }
    return a;
  }();
  return data;
}

// One pass of every section over n samples, in double, the state in memory as a plain loop over a
// runtime number of sections keeps it; `step` is +1 forward or -1 backward.
void plain_pass(const SosCascade& sos, const float* x, float* y, int64_t n, int step) {
  std::vector<double> z0(sos.size()), z1(sos.size());
  for (int64_t k = 0; k < n; ++k) {
    const int64_t i = step > 0 ? k : n - 1 - k;
    double v = x[i];
    for (std::size_t s = 0; s < sos.size(); ++s) {
      const SosSection& q = sos[s];
      const double out = q.b[0] * v + z0[s];
      z0[s] = q.b[1] * v - q.a[1] * out + z1[s];
      z1[s] = q.b[2] * v - q.a[2] * out;
      v = out;
    }
    y[i] = static_cast<float>(v);
  }
}

// The same with the number of sections fixed when compiled, so that coefficients and state stay
// in registers: the cascade's own cost, with nothing around it.
template <int N>
void register_pass(const SosCascade& sos, const float* x, float* y, int64_t n, int step) {
  double b0[N], b1[N], b2[N], a1[N], a2[N], z0[N] = {}, z1[N] = {};
  for (int s = 0; s < N; ++s) {
    const SosSection& q = sos[static_cast<std::size_t>(s)];
    b0[s] = q.b[0], b1[s] = q.b[1], b2[s] = q.b[2], a1[s] = q.a[1], a2[s] = q.a[2];
  }
  for (int64_t k = 0; k < n; ++k) {
    const int64_t i = step > 0 ? k : n - 1 - k;
    double v = x[i];
    for (int s = 0; s < N; ++s) {
      const double out = b0[s] * v + z0[s];
      z0[s] = b1[s] * v - a1[s] * out + z1[s];
      z1[s] = b2[s] * v - a2[s] * out;
      v = out;
    }
    y[i] = static_cast<float>(v);
  }
}

using Pass = void (*)(const SosCascade&, const float*, float*, int64_t, int);

SampleArray reference_filter(const SampleArray& data, const SosCascade& sos, Pass pass) {
  SampleArray out = data;
  for (int c = 1; c <= data.channels(); ++c) {
    float* y = out.overwrite_channel(c);
    pass(sos, data.channel(c), y, data.size(), +1);
    pass(sos, y, y, data.size(), -1);
  }
  return out;
}

// Resident and peak resident memory of the process in kB; the peak can be reset to the current
// size, so the filter's own peak is measured apart from what came before.
long status_kb(const std::string& key) {
  std::ifstream f("/proc/self/status");
  for (std::string line; std::getline(f, line);)
    if (line.rfind(key, 0) == 0) return std::stol(line.substr(key.size()));
  return 0;
}
void reset_peak() {
  std::ofstream("/proc/self/clear_refs") << "5";
}

void BM_Filter(benchmark::State& state) {
  const SampleArray& data = day_of_samples();
  const SosCascade sos = filter_design(band_pass(), kRate);
  if (sos.size() != 4) {
    state.SkipWithError("the band-pass is not the four sections the register reference holds");
    return;
  }
  double product_s = 0, reference_s = 0, registers_s = 0, peak_mb = 0;
  int64_t reports = 0;
  const FilterProgress progress{[&](int) { ++reports; }, [] { return false; }};
  // Each run starts with only the samples held, its result dropped before the next starts, so
  // that each takes its copy from the same memory; they are compared by one sample each.
  const int32_t middle = kSamples / 2;
  const auto timed = [&](auto&& run, double& total) {
    const auto t0 = Clock::now();
    const std::optional<SampleArray> out = run();
    total += seconds_since(t0);
    return out ? (*out)(2, middle) : NAN;
  };
  // The first copy taken after the samples were made pays the system for gathering huge pages,
  // which belongs to none of the three: one untimed run takes it. The order of the three turns
  // round from one iteration (and repetition) to the next.
  static int round = 0;
  if (round == 0) benchmark::DoNotOptimize(reference_filter(data, sos, register_pass<4>).channel(1));
  for (auto _ : state) {
    double p = 0;
    float got = NAN, plain = NAN, held = NAN;
    for (int k = 0; k < 3; ++k) {
      switch ((round + k) % 3) {
        case 0: {
          const long before = status_kb("VmRSS:");
          reset_peak();
          got = timed([&] { return apply_filter(data, band_pass(), kRate, 0, progress); }, p);
          peak_mb += static_cast<double>(status_kb("VmHWM:") - before) / 1024;
          break;
        }
        case 1:
          plain = timed([&] { return std::optional(reference_filter(data, sos, plain_pass)); }, reference_s);
          break;
        case 2:
          held = timed([&] { return std::optional(reference_filter(data, sos, register_pass<4>)); },
                       registers_s);
          break;
      }
    }
    ++round;
    product_s += p;
    state.SetIterationTime(p);
    // Away from the ends, where only the starting states differ, all three are the same filter.
    if (!(std::fabs(got - plain) <= 1e-3f && std::fabs(got - held) <= 1e-3f))
      state.SkipWithError("the filter and the plain cascade differ");
  }
  const double n = static_cast<double>(state.iterations());
  const double one_copy_mb = 3.0 * kSamples * sizeof(float) / (1 << 20);
  state.counters["reference_ms"] = benchmark::Counter(reference_s * 1000, benchmark::Counter::kAvgIterations);
  state.counters["ratio"] = product_s / reference_s;
  state.counters["registers_ms"] = benchmark::Counter(registers_s * 1000, benchmark::Counter::kAvgIterations);
  state.counters["x_registers"] = product_s / registers_s;
  state.counters["peak_MB"] = peak_mb / n;
  state.counters["one_copy_MB"] = one_copy_mb;
  state.counters["peak_x_copy"] = peak_mb / n / one_copy_mb;
  state.counters["progress_reports"] = static_cast<double>(reports) / n;
}

}  // namespace

BENCHMARK(BM_Filter)
    ->Name("filter_24h_3ch_1kHz")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(5);

BENCHMARK_MAIN();
