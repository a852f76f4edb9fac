// Guards the power spectrum: bit reversal, the transform sizes, known answers against a direct
// DFT computed here (a constant, a straight line, a sine in a known bin), agreement with the
// scalar radix-2 pipeline on random blocks, the interior-only maximum, the progress reports and
// the refusal of blocks the transform cannot take.
#include <gtest/gtest.h>

#include <QStringList>

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>
#include <random>
#include <tuple>
#include <vector>

#include "base/modes/radix2_spectrum.h"
#include "modes/spectrum.h"

using namespace quarvel;
using quarvel::testing::radix2_power_spectrum;

namespace {

SampleArray one_block(int32_t m, const std::function<double(int32_t)>& f, int blocks = 1) {
  SampleArray a;
  a.redim(1, m * blocks - 1);
  for (int32_t i = 0; i < m * blocks; ++i) a(1, i) = static_cast<float>(f(i % m));
  return a;
}

std::vector<float> bins_of(const SpectrumResult& r, int block = 1) {
  const float* p = r.spectrum.channel(1) + static_cast<size_t>(block - 1) * static_cast<size_t>(r.bins);
  return {p, p + r.bins};
}

// Reference: the block detrended in double precision, tapered, centred in fft_n zeros, put
// through a direct DFT, its power over 10^6 smoothed 0.23 / 0.54 / 0.23.
std::vector<double> reference_spectrum(const std::vector<double>& x, int32_t n) {
  const int32_t m = static_cast<int32_t>(x.size());
  double mi = 0, mx = 0;
  for (int32_t i = 0; i < m; ++i) {
    mi += i;
    mx += x[static_cast<size_t>(i)];
  }
  mi /= m;
  mx /= m;
  double cov = 0, var = 0;
  for (int32_t i = 0; i < m; ++i) {
    cov += (i - mi) * (x[static_cast<size_t>(i)] - mx);
    var += (i - mi) * (i - mi);
  }
  const double slope = cov / var, intercept = mx - slope * mi;
  const int32_t l = m / 10, pad = static_cast<int32_t>(std::nearbyint((n - m) / 2.0));  // ties to even
  std::vector<double> in(static_cast<size_t>(n), 0.0);
  for (int32_t i = 0; i < m; ++i) {
    const int32_t e = std::min(i, m - 1 - i);
    const double t = e < l ? (1 - std::cos(3.1415926535359 * e / l)) / 2 : 1.0;
    in[static_cast<size_t>(pad + i)] = (x[static_cast<size_t>(i)] - intercept - slope * i) * t;
  }
  const int32_t h = n / 2;
  std::vector<double> p(static_cast<size_t>(h));
  for (int32_t k = 0; k < h; ++k) {
    std::complex<double> sum = 0;
    for (int32_t j = 0; j < n; ++j)
      sum += in[static_cast<size_t>(j)] * std::polar(1.0, 2 * std::numbers::pi * j * k / n);
    p[static_cast<size_t>(k)] = std::norm(sum) / 1e6;
  }
  std::vector<double> out(static_cast<size_t>(h));
  for (int32_t k = 0; k < h; ++k) {
    const double left = k > 0 ? p[static_cast<size_t>(k - 1)] : 0,
                 right = k + 1 < h ? p[static_cast<size_t>(k + 1)] : 0;
    out[static_cast<size_t>(k)] = 0.23 * left + 0.54 * p[static_cast<size_t>(k)] + 0.23 * right;
  }
  return out;
}

// Blocks of noise on a line and a sine, with level, slope, amplitude and frequency drawn anew for
// every channel and block, so no two transforms see the same shape.
SampleArray random_blocks(int channels, int32_t m, int32_t blocks, unsigned seed) {
  std::mt19937 gen(seed);
  std::uniform_real_distribution<double> u(-1, 1);
  SampleArray a;
  a.redim(channels, m * blocks - 1);
  for (int c = 1; c <= channels; ++c) {
    for (int32_t k = 0; k < blocks; ++k) {
      const double level = 2000 * u(gen), slope = 2 * u(gen), noise = 50 + 500 * (1 + u(gen));
      const double amp = 1000 * (1 + u(gen)), cycles = (1 + u(gen)) * m / 4;
      for (int32_t i = 0; i < m; ++i) {
        a(c, k * m + i) = static_cast<float>(level + slope * i + noise * u(gen) +
                                             amp * std::sin(2 * std::numbers::pi * cycles * i / m));
      }
    }
  }
  return a;
}

// The two pipelines share every single-precision step and differ only in the double-precision
// transform, whose errors stay near 1e-10 of the largest bin; rounding the smoothed bins to float
// then makes them differ by at most one ulp of the block's largest bin. One more ulp is margin.
constexpr int kUlps = 1;

float ulp(float v) {
  return std::nextafter(std::fabs(v), INFINITY) - std::fabs(v);
}

// Every bin of every block and channel within kUlps of the largest bin of its block, and the
// maxima within kUlps of theirs.
void expect_same_spectrum(const SpectrumResult& got, const SpectrumResult& want, int channels) {
  ASSERT_EQ(got.fft_n, want.fft_n);
  ASSERT_EQ(got.bins, want.bins);
  ASSERT_EQ(got.spectrum.size(), want.spectrum.size());
  const int32_t blocks = (want.spectrum.size() - 1) / want.bins;
  for (int c = 1; c <= 3; ++c) {
    for (int32_t k = 0; k < blocks; ++k) {
      const float* g = got.spectrum.channel(c) + k * got.bins;
      const float* w = want.spectrum.channel(c) + k * want.bins;
      const float tolerance = kUlps * ulp(*std::max_element(w, w + want.bins));
      for (int32_t j = 0; j < want.bins; ++j) {
        ASSERT_NEAR(g[j], w[j], tolerance) << "channel " << c << " block " << k + 1 << " bin " << j;
      }
    }
    EXPECT_NEAR(got.psd_max[c], want.psd_max[c], kUlps * ulp(want.psd_max[c])) << "channel " << c;
    if (c > channels) {
      EXPECT_EQ(got.psd_max[c], 0.0f) << "a channel the data does not hold";
    }
  }
  EXPECT_EQ(got.spectrum(1, blocks * got.bins), 0.0f) << "the element after the last block stays 0";
}

// Total power the raw block would carry: the scale against which "zero" is judged.
double block_power(const SampleArray& a, int32_t m) {
  double e = 0;
  for (int32_t i = 0; i < m; ++i) e += static_cast<double>(a(1, i)) * a(1, i);
  return e * m / 1e6;
}

}  // namespace

TEST(Spectrum, BitReverse) {
  EXPECT_EQ(bit_reverse(1, 3), 4);
  EXPECT_EQ(bit_reverse(6, 3), 3);
  EXPECT_EQ(bit_reverse(5, 0), 0);
  EXPECT_EQ(bit_reverse(1, 13), 4096);
}

class TransformSizes : public ::testing::TestWithParam<std::tuple<int32_t, TransformPlan>> {};

TEST_P(TransformSizes, PowerOfTwoPaddingAndTaper) {
  const auto [m, want] = GetParam();
  const TransformPlan p = plan_transform(m);
  EXPECT_EQ(p.fft_n, want.fft_n);
  EXPECT_EQ(p.bits, want.bits);
  EXPECT_EQ(p.pad, want.pad);
  EXPECT_EQ(p.taper_length, want.taper_length);
  EXPECT_EQ(p.bins, want.bins);
}

INSTANTIATE_TEST_SUITE_P(Spectrum, TransformSizes,
                         ::testing::Values(std::make_tuple(1000, TransformPlan{1024, 10, 12, 100, 512}),
                                           std::make_tuple(1024, TransformPlan{1024, 10, 0, 102, 512}),
                                           // 1023 / 2 = 511.5 rounds to the even 512
                                           std::make_tuple(1025, TransformPlan{2048, 11, 512, 102, 1024}),
                                           std::make_tuple(10, TransformPlan{16, 4, 3, 1, 8})));

TEST(Spectrum, ConstantAndStraightLinesCarryNoPower) {
  for (const auto& f : std::vector<std::function<double(int32_t)>>{
           [](int32_t) { return 250.0; }, [](int32_t i) { return 100 + 3.7 * i; },
           [](int32_t i) { return -20 - 0.05 * i; }}) {
    const SampleArray a = one_block(1000, f);
    const auto r = power_spectrum(a, 1000, 1);
    ASSERT_TRUE(r);
    const std::vector<float> bins = bins_of(*r);
    const float top = *std::max_element(bins.begin(), bins.end());
    EXPECT_LE(top, 1e-9 * block_power(a, 1000));
    EXPECT_GE(*std::min_element(bins.begin(), bins.end()), 0.0f);
  }
}

class SineInBin : public ::testing::TestWithParam<std::tuple<int32_t, int32_t>> {};

TEST_P(SineInBin, PeaksInItsBinAndMatchesADirectDft) {
  const auto [m, bin] = GetParam();
  const TransformPlan plan = plan_transform(m);
  const auto f = [&, bin = bin](int32_t i) {
    return 40 + 0.3 * i + 500 * std::sin(2 * std::numbers::pi * bin * i / plan.fft_n);
  };
  const SampleArray a = one_block(m, f, 2);
  const auto r = power_spectrum(a, m, 2);
  ASSERT_TRUE(r);
  ASSERT_EQ(r->bins, plan.fft_n / 2);

  std::vector<double> x(static_cast<size_t>(m));
  for (int32_t i = 0; i < m; ++i) x[static_cast<size_t>(i)] = a(1, i);
  const std::vector<double> want = reference_spectrum(x, plan.fft_n);
  const double peak = *std::max_element(want.begin(), want.end());
  for (int block = 1; block <= 2; ++block) {
    const std::vector<float> got = bins_of(*r, block);
    EXPECT_EQ(std::max_element(got.begin(), got.end()) - got.begin(), bin);
    for (size_t k = 0; k < got.size(); ++k) EXPECT_NEAR(got[k], want[k], 1e-5 * peak) << "bin " << k;
  }
  EXPECT_NEAR(r->psd_max[1], peak, 1e-5 * peak);
  EXPECT_EQ(r->spectrum(1, 2 * r->bins), 0.0f) << "the element after the last block stays 0";
}

INSTANTIATE_TEST_SUITE_P(Spectrum, SineInBin,
                         ::testing::Values(std::make_tuple(1024, 64), std::make_tuple(1000, 100),
                                           std::make_tuple(100, 9)));

// Block length, channels, blocks.
class MatchesRadix2 : public ::testing::TestWithParam<std::tuple<int32_t, int, int32_t>> {};

TEST_P(MatchesRadix2, OnRandomBlocks) {
  const auto [m, channels, blocks] = GetParam();
  const SampleArray a = random_blocks(channels, m, blocks, static_cast<unsigned>(m * 10 + channels));
  const auto got = power_spectrum(a, m, blocks);
  const auto want = radix2_power_spectrum(a, m, blocks);
  ASSERT_TRUE(got);
  ASSERT_TRUE(want);
  expect_same_spectrum(*got, *want, channels);
}

INSTANTIATE_TEST_SUITE_P(Spectrum, MatchesRadix2,
                         ::testing::Values(std::make_tuple(10, 1, 7), std::make_tuple(10, 3, 4),
                                           std::make_tuple(500, 2, 5), std::make_tuple(1000, 3, 3),
                                           std::make_tuple(1024, 1, 3), std::make_tuple(1024, 2, 2),
                                           std::make_tuple(1025, 3, 2), std::make_tuple(8192, 1, 2),
                                           std::make_tuple(8192, 3, 2)));

TEST(Spectrum, BlocksThatReachPastTheDataReadZerosLikeTheRadix2Pipeline) {
  // The data end 300 samples into the last block, and then 1 sample into it.
  for (const int32_t held : {2 * 1000 + 300, 2 * 1000 + 1}) {
    const SampleArray full = random_blocks(2, 1000, 3, 11);
    SampleArray a;
    a.redim(2, held - 1);
    for (int c = 1; c <= 2; ++c) std::copy_n(full.channel(c), held, a.write_channel(c));
    const auto got = power_spectrum(a, 1000, 3);
    const auto want = radix2_power_spectrum(a, 1000, 3);
    ASSERT_TRUE(got);
    ASSERT_TRUE(want);
    expect_same_spectrum(*got, *want, 2);
    EXPECT_GT(got->spectrum(1, 2 * got->bins + 5), 0.0f) << "the last block has power";
  }
}

TEST(Spectrum, MaximumLeavesOutTheFirstAndLastBinOfEachBlock) {
  // Channel 1: spikes on the first and last sample, which the taper zeroes, so what is left is
  // the taper itself below the mean: its power sits in bin 0. Channel 2: a cosine in the last
  // bin of the first half.
  const int32_t m = 256;
  SampleArray a;
  a.redim(2, 2 * m - 1);
  for (int32_t i = 0; i < 2 * m; ++i) {
    const int32_t k = i % m;
    a(1, i) = k == 0 || k == m - 1 ? 1000.0f : 0.0f;
    a(2, i) = static_cast<float>(300 * std::cos(2 * std::numbers::pi * 127 * k / m));
  }
  const auto r = power_spectrum(a, m, 2);
  ASSERT_TRUE(r);
  for (int c = 1; c <= 2; ++c) {
    float interior = 0;
    for (int block = 1; block <= 2; ++block) {
      const float* b = r->spectrum.channel(c) + (block - 1) * r->bins;
      interior = std::max(interior, *std::max_element(b + 1, b + r->bins - 1));
    }
    const float* b = r->spectrum.channel(c);
    EXPECT_GT(c == 1 ? b[0] : b[r->bins - 1], interior) << "channel " << c;
    EXPECT_EQ(r->psd_max[c], interior) << "channel " << c;
  }
  EXPECT_EQ(r->psd_max[3], 0.0f) << "a channel the data does not hold";
}

class ProgressReports : public ::testing::TestWithParam<std::tuple<int, std::vector<int>>> {};

TEST_P(ProgressReports, EachBlockAndEachChannelsTransform) {
  const auto& [channels, per_block] = GetParam();
  SampleArray a;
  a.redim(channels, 299);
  QStringList captions;
  std::vector<int> percents;
  SpectrumProgress progress{[&](const QString& c) { captions << c; }, [&](int p) { percents.push_back(p); }};
  ASSERT_TRUE(power_spectrum(a, 100, 3, progress));
  EXPECT_EQ(captions, (QStringList{"Calculating FFT for curve 1...", "Calculating FFT for curve 2...",
                                   "Calculating FFT for curve 3..."}));
  std::vector<int> want;
  for (int k = 0; k < 3; ++k) want.insert(want.end(), per_block.begin(), per_block.end());
  EXPECT_EQ(percents, want);
}

INSTANTIATE_TEST_SUITE_P(Spectrum, ProgressReports,
                         ::testing::Values(std::make_tuple(1, std::vector<int>{100}),
                                           std::make_tuple(2, std::vector<int>{50, 100}),
                                           std::make_tuple(3, std::vector<int>{33, 67, 100})));

TEST(Spectrum, RefusesBlocksItCannotTransform) {
  SampleArray a;
  a.redim(1, 20000);
  for (const auto& [length, count] :
       std::vector<std::pair<int32_t, int32_t>>{{9, 5}, {8193, 2}, {100, 0}, {-1, -1}}) {
    EXPECT_FALSE(spectrum_refusal(length, count).isEmpty()) << length << " x " << count;
    EXPECT_FALSE(power_spectrum(a, length, count)) << length << " x " << count;
  }
  EXPECT_TRUE(spectrum_refusal(10, 1).isEmpty());
  const auto r = power_spectrum(a, 8192, 2);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->fft_n, 8192);
}
