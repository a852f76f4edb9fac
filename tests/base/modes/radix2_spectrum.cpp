#include "base/modes/radix2_spectrum.h"

#include <cmath>
#include <numbers>
#include <vector>

namespace quarvel::testing {

namespace {

constexpr double kTaperPi = 3.1415926535359;

std::vector<float> taper_table(int32_t length) {
  std::vector<float> w(static_cast<size_t>(length));
  for (int32_t j = 0; j < length; ++j) {
    w[static_cast<size_t>(j)] = static_cast<float>((1 - std::cos(kTaperPi * j / length)) * 0.5);
  }
  return w;
}

// One butterfly stage of the in-place radix-2 transform; the twiddle factor turns by
// +2 pi / istep from one butterfly to the next through the recurrence.
void fft_stage(std::vector<double>& re, std::vector<double>& im, int32_t mmax, int32_t istep) {
  const int32_t n = static_cast<int32_t>(re.size());
  const double theta = 2 * std::numbers::pi / istep;
  const double half = std::sin(theta / 2);
  const double a = 2 * half * half;
  const double sn = std::sin(theta);
  for (int32_t i = 0; i < n; i += istep) {
    double wr = 1, wi = 0;
    for (int32_t m = 0; m < mmax; ++m) {
      const size_t j = static_cast<size_t>(i + m);
      const size_t jj = j + static_cast<size_t>(mmax);
      const double tr = wr * re[jj] - wi * im[jj];
      const double ti = wr * im[jj] + wi * re[jj];
      re[jj] = re[j] - tr;
      im[jj] = im[j] - ti;
      re[j] += tr;
      im[j] += ti;
      const double t = a * wr + sn * wi;
      wi = wi - (a * wi - sn * wr);
      wr = wr - t;
    }
  }
}

struct Transformer {
  TransformPlan plan;
  int32_t m = 0;
  std::vector<float> taper;
  std::vector<int32_t> reversed;
  std::vector<double> re, im;

  Transformer(int32_t block_length, const TransformPlan& p)
      : plan(p), m(block_length), taper(taper_table(p.taper_length)) {
    reversed.resize(static_cast<size_t>(p.fft_n));
    for (int32_t i = 0; i < p.fft_n; ++i) reversed[static_cast<size_t>(i)] = bit_reverse(i, p.bits);
  }

  float taper_at(int32_t i) const {
    const int32_t l = plan.taper_length;
    if (i < l) return taper[static_cast<size_t>(i)];
    if (i >= m - l) return taper[static_cast<size_t>(m - 1 - i)];
    return 1.0f;
  }

  void load(const SampleArray& data, int c, int64_t start) {
    re.assign(static_cast<size_t>(plan.fft_n), 0.0);
    im.assign(static_cast<size_t>(plan.fft_n), 0.0);
    const float fm = static_cast<float>(m);
    const float si = static_cast<float>(static_cast<double>(m) * (m - 1) / 2);
    const float sii = static_cast<float>(static_cast<double>(m - 1) * m * (2.0 * m - 1) / 6);
    float sx = 0, sxi = 0;
    for (int32_t i = 0; i < m; ++i) {
      const float x = data(c, static_cast<int32_t>(start + i));
      sx += x;
      sxi += static_cast<float>(i) * x;
    }
    const float slope = (sxi - si * sx / fm) / (sii - si * si / fm);
    const float intercept = (sx - si * slope) / fm;
    for (int32_t i = 0; i < m; ++i) {
      const float x = data(c, static_cast<int32_t>(start + i));
      const float v = (x - intercept - slope * static_cast<float>(i)) * taper_at(i);
      re[static_cast<size_t>(reversed[static_cast<size_t>(plan.pad + i)])] = v;
    }
  }

  void transform() {
    for (int32_t mmax = 1, istep = 2; istep <= plan.fft_n; mmax = istep, istep *= 2) {
      fft_stage(re, im, mmax, istep);
    }
  }

  void smooth_into(float* out, float& max_value) const {
    const int32_t h = plan.bins;
    std::vector<double> power(static_cast<size_t>(h));
    for (size_t j = 0; j < power.size(); ++j) power[j] = (re[j] * re[j] + im[j] * im[j]) / 1000000;
    out[0] = static_cast<float>(0.54 * power[0] + 0.23 * power[1]);
    out[h - 1] = static_cast<float>(0.23 * power[static_cast<size_t>(h - 2)] +
                                    0.54 * power[static_cast<size_t>(h - 1)]);
    for (int32_t j = 1; j <= h - 2; ++j) {
      const size_t u = static_cast<size_t>(j);
      const float v = static_cast<float>(0.23 * power[u - 1] + 0.54 * power[u] + 0.23 * power[u + 1]);
      out[j] = v;
      if (v > max_value) max_value = v;
    }
  }
};

}  // namespace

std::optional<SpectrumResult> radix2_power_spectrum(const SampleArray& data, int32_t block_length,
                                                    int32_t block_count) {
  if (!spectrum_refusal(block_length, block_count).isEmpty()) return std::nullopt;
  const TransformPlan plan = plan_transform(block_length);
  SpectrumResult r;
  r.fft_n = plan.fft_n;
  r.bins = plan.bins;
  r.spectrum.redim(3, block_count * plan.bins);

  Transformer t(block_length, plan);
  for (int32_t k = 1; k <= block_count; ++k) {
    const int64_t start = static_cast<int64_t>(k - 1) * block_length;
    for (int c = 1; c <= data.channels(); ++c) {
      t.load(data, c, start);
      t.transform();
      t.smooth_into(r.spectrum.write_channel(c) + static_cast<size_t>(k - 1) * static_cast<size_t>(plan.bins),
                    r.psd_max[c]);
    }
  }
  return r;
}

}  // namespace quarvel::testing
