#include "modes/spectrum.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <mutex>
#include <vector>

#include "core/numbers.h"

namespace quarvel {

namespace {

// The taper's angle step uses the program's own value of pi, which differs from the true one in
// the eleventh digit; the taper table has always been computed with it.
constexpr double kTaperPi = 3.1415926535359;

// FFTW's planner is not reentrant; executing a plan is.
std::mutex& planner_mutex() {
  static std::mutex m;
  return m;
}

// Rising edge of the split cosine bell: w(j) = (1 - cos(pi j / L)) / 2, j = 0..L-1.
std::vector<float> taper_table(int32_t length) {
  std::vector<float> w(static_cast<size_t>(length));
  for (int32_t j = 0; j < length; ++j) {
    w[static_cast<size_t>(j)] = static_cast<float>((1 - std::cos(kTaperPi * j / length)) * 0.5);
  }
  return w;
}

// A real-to-complex transform of one length with its own input and output arrays, planned once
// and run for every block and channel. The input keeps its zero padding between runs: only the
// samples' slots are rewritten, and the plan preserves its input.
class RealTransform {
 public:
  explicit RealTransform(int32_t n) {
    in_ = fftw_alloc_real(static_cast<size_t>(n));
    out_ = fftw_alloc_complex(static_cast<size_t>(n / 2 + 1));
    std::lock_guard<std::mutex> lock(planner_mutex());
    plan_ = fftw_plan_dft_r2c_1d(n, in_, out_, FFTW_ESTIMATE | FFTW_PRESERVE_INPUT);
    std::fill(in_, in_ + n, 0.0);
  }
  ~RealTransform() {
    {
      std::lock_guard<std::mutex> lock(planner_mutex());
      fftw_destroy_plan(plan_);
    }
    fftw_free(out_);
    fftw_free(in_);
  }
  RealTransform(const RealTransform&) = delete;
  RealTransform& operator=(const RealTransform&) = delete;

  double* input() { return in_; }
  void run() { fftw_execute(plan_); }
  // Squared magnitude of bin k (0 <= k <= n / 2). The sign of the kernel does not matter here:
  // for real input the two signs give conjugate bins.
  double norm(int32_t k) const {
    const double re = out_[k][0], im = out_[k][1];
    return re * re + im * im;
  }

 private:
  double* in_ = nullptr;
  fftw_complex* out_ = nullptr;
  fftw_plan plan_ = nullptr;
};

// Everything one block transform needs that does not change from block to block.
class Transformer {
 public:
  Transformer(int32_t block_length, const TransformPlan& p)
      : plan_(p),
        m_(block_length),
        taper_(taper_table(p.taper_length)),
        samples_(static_cast<size_t>(block_length)),
        power_(static_cast<size_t>(p.bins)),
        fft_(p.fft_n) {}

  // Detrends and tapers samples start..start+m-1 of channel c into the middle of the
  // zero-padded input. Samples past the end of the data read as 0.
  void load(const SampleArray& data, int c, int64_t start) {
    const float* x = samples_.data();
    if (data.has(c, start) && data.has(c, start + m_ - 1)) {
      data.copy_out(c, start, m_, samples_.data());
    } else {
      for (int32_t i = 0; i < m_; ++i)
        samples_[static_cast<size_t>(i)] = data(c, static_cast<int32_t>(start + i));
    }
    // Least-squares line through (i, x(i)), in single precision like the samples.
    const float fm = static_cast<float>(m_);
    const float si = static_cast<float>(static_cast<double>(m_) * (m_ - 1) / 2);
    const float sii = static_cast<float>(static_cast<double>(m_ - 1) * m_ * (2.0 * m_ - 1) / 6);
    float sx = 0, sxi = 0;
    for (int32_t i = 0; i < m_; ++i) {
      sx += x[i];
      sxi += static_cast<float>(i) * x[i];
    }
    const float slope = (sxi - si * sx / fm) / (sii - si * si / fm);
    const float intercept = (sx - si * slope) / fm;

    // Between the taper's edges the bell is 1, and a product with 1 is exact.
    double* in = fft_.input() + plan_.pad;
    const int32_t l = plan_.taper_length;
    for (int32_t i = 0; i < l; ++i) {
      in[i] = (x[i] - intercept - slope * static_cast<float>(i)) * taper_[static_cast<size_t>(i)];
    }
    for (int32_t i = l; i < m_ - l; ++i) in[i] = x[i] - intercept - slope * static_cast<float>(i);
    for (int32_t i = m_ - l; i < m_; ++i) {
      in[i] = (x[i] - intercept - slope * static_cast<float>(i)) * taper_[static_cast<size_t>(m_ - 1 - i)];
    }
  }

  void transform() { fft_.run(); }

  // Smoothed periodogram of the first half into out[0..bins-1]; the largest interior value
  // raises max_value when it is strictly larger.
  void smooth_into(float* out, float& max_value) {
    const int32_t h = plan_.bins;
    double* power = power_.data();
    for (int32_t j = 0; j < h; ++j) power[j] = fft_.norm(j) / 1000000;
    out[0] = static_cast<float>(0.54 * power[0] + 0.23 * power[1]);
    out[h - 1] = static_cast<float>(0.23 * power[h - 2] + 0.54 * power[h - 1]);
    float top = max_value;
    for (int32_t j = 1; j <= h - 2; ++j) {
      const float v = static_cast<float>(0.23 * power[j - 1] + 0.54 * power[j] + 0.23 * power[j + 1]);
      out[j] = v;
      top = v > top ? v : top;
    }
    max_value = top;
  }

 private:
  TransformPlan plan_;
  int32_t m_;
  std::vector<float> taper_;
  std::vector<float> samples_;  // the block being loaded, zero-filled past the data
  std::vector<double> power_;
  RealTransform fft_;
};

}  // namespace

int16_t bit_reverse(int32_t value, int bits) {
  int32_t result = 0;
  for (int b = 0; b < bits; ++b) {
    result = result * 2 + (value & 1);
    value /= 2;
  }
  return static_cast<int16_t>(result);
}

TransformPlan plan_transform(int32_t m) {
  TransformPlan p;
  while (p.fft_n < m) {
    p.fft_n *= 2;
    ++p.bits;
  }
  p.pad = round_i32((p.fft_n - m) / 2.0);
  p.taper_length = m / 10;
  p.bins = round_i32(p.fft_n / 2.0);
  return p;
}

QString spectrum_refusal(int32_t block_length, int32_t block_count) {
  if (block_count < 1) return QStringLiteral("The spectrum needs at least one whole block of samples.");
  if (block_length < kSpectrumMinBlock || block_length > kSpectrumMaxBlock) {
    return QStringLiteral("The spectrum needs blocks of %1 to %2 samples; these blocks have %3.")
        .arg(kSpectrumMinBlock)
        .arg(kSpectrumMaxBlock)
        .arg(block_length);
  }
  return {};
}

std::optional<SpectrumResult> power_spectrum(const SampleArray& data, int32_t block_length,
                                             int32_t block_count, const SpectrumProgress& progress) {
  if (!spectrum_refusal(block_length, block_count).isEmpty()) return std::nullopt;
  const TransformPlan plan = plan_transform(block_length);
  SpectrumResult r;
  r.fft_n = plan.fft_n;
  r.bins = plan.bins;
  r.spectrum.redim(3, block_count * plan.bins);

  Transformer t(block_length, plan);
  const int channels = data.channels();
  for (int32_t k = 1; k <= block_count; ++k) {
    if (progress.block_started) {
      progress.block_started(QStringLiteral("Calculating FFT for curve %1...").arg(k));
    }
    const int64_t start = static_cast<int64_t>(k - 1) * block_length;
    for (int c = 1; c <= channels; ++c) {
      t.load(data, c, start);
      t.transform();
      t.smooth_into(r.spectrum.write_channel(c) + static_cast<size_t>(k - 1) * static_cast<size_t>(plan.bins),
                    r.psd_max[c]);
      if (progress.portion_done) progress.portion_done(round_i32(c * 100.0 / channels));
    }
  }
  return r;
}

}  // namespace quarvel
