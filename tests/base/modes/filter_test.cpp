// Guards the analysis filters: agreement with SciPy's zero-phase Butterworth filters on every
// kind, order, rate and length in the committed references (made by tools/make-filter-references),
// peaks that stay in place, blocks filtered without leaking into each other, refusals of what
// cannot be designed, the status and header texts, and a cancel that leaves the samples as
// they were.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <fstream>
#include <iostream>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

#include "modes/filtering.h"
#include "modes/zero_phase.h"

using namespace quarvel;

namespace {

// The formula of the references' input, computed in the same order as the script computes it.
std::vector<float> test_signal(int64_t n) {
  std::vector<float> x(static_cast<size_t>(n));
  uint64_t state = 12345;
  for (int64_t i = 0; i < n; ++i) {
    state = (state * 1103515245 + 12345) % 2147483648;
    const double noise = static_cast<double>(state) / 1073741824.0 - 1.0, pi = std::numbers::pi;
    const double v = 3.0 * std::sin(2.0 * pi * 0.011 * i) + std::sin(2.0 * pi * 0.07 * i + 0.5) +
                     0.5 * std::sin(2.0 * pi * 0.31 * i) + 4.0 * i / n + (3 * i >= n ? 2.0 : 0.0) +
                     0.3 * noise;
    x[static_cast<size_t>(i)] = static_cast<float>(v);
  }
  return x;
}

SampleArray one_channel(const std::vector<float>& x) {
  SampleArray a;
  a.redim(1, static_cast<int32_t>(x.size()) - 1);
  std::copy(x.begin(), x.end(), a.write_channel(1));
  return a;
}

std::vector<float> values(const SampleArray& a, int ch = 1) {
  return {a.channel(ch), a.channel(ch) + a.size()};
}

double number(const std::string& s) {
  double v = NAN;
  std::from_chars(s.data(), s.data() + s.size(), v);
  return v;
}

// A case's kind and frequencies as the file gives them (see tools/make-filter-references).
FilterSettings settings_of(const std::string& kind, int order, double first, double second) {
  const FilterKind k = kind == "lowpass"    ? FilterKind::LowPass
                       : kind == "highpass" ? FilterKind::HighPass
                       : kind == "bandpass" ? FilterKind::BandPass
                                            : FilterKind::Notch;
  return {k, order, first, first, second, first, second};
}

TEST(FilterReferences, EveryCaseMatchesSciPyWithinTheToleranceOfItsRange) {
  std::ifstream in(QUARVEL_FILTER_REFERENCES);
  ASSERT_TRUE(in) << QUARVEL_FILTER_REFERENCES;
  std::string line;
  int cases = 0, short_cases = 0;
  double worst = 0;
  std::string worst_case;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream head(line);
    std::string kind, order, rate, first, second, length, padding;
    head >> kind >> order >> rate >> first >> second >> length >> padding;
    std::string samples;
    std::getline(in, samples);
    std::istringstream want_text(samples);
    std::vector<double> want;
    for (std::string v; want_text >> v;) want.push_back(number(v));
    SCOPED_TRACE(line);
    const int64_t n = static_cast<int64_t>(number(length));
    ASSERT_EQ(static_cast<int64_t>(want.size()), n);

    const FilterSettings settings =
        settings_of(kind, static_cast<int>(number(order)), number(first), number(second));
    EXPECT_EQ(zero_phase_padding(filter_design(settings, number(rate))),
              static_cast<int64_t>(number(padding)));
    const std::vector<float> x = test_signal(n);
    const auto got = apply_filter(one_channel(x), settings, number(rate), 0);
    ASSERT_TRUE(got);
    const auto [lo, hi] = std::minmax_element(x.begin(), x.end());
    // A single sample has no range; its size stands in.
    const double range = n > 1 ? static_cast<double>(*hi - *lo) : std::fabs(x[0]);
    for (int64_t i = 0; i < n; ++i) {
      const double d = std::fabs((*got)(1, static_cast<int32_t>(i)) - want[static_cast<size_t>(i)]) / range;
      if (d > worst) worst = d, worst_case = line + " at " + std::to_string(i);
    }
    ++cases;
    short_cases += n <= number(padding);
  }
  EXPECT_LE(worst, 1e-5) << worst_case;
  // 4 rates x 4 kinds x 8 orders x 4 lengths, and a single sample for order 1.
  EXPECT_EQ(cases, 4 * 4 * (8 * 4 + 1));
  EXPECT_EQ(short_cases, 4 * 4 * (8 * 2 + 1));
  std::cout << "largest difference from SciPy: " << worst << " of the signal's range (" << worst_case
            << ")\n";
}

// A pulse symmetric about the middle, far from the ends: whatever the filter, running it forward
// and backward gives a symmetric result whose peak stays where it was.
class SymmetricPulse : public ::testing::TestWithParam<std::tuple<FilterKind, int>> {};

TEST_P(SymmetricPulse, StaysSymmetricWithItsPeakInPlace) {
  const int32_t n = 4001, middle = 2000;
  std::vector<float> x(n);
  for (int32_t i = 0; i < n; ++i)
    x[static_cast<size_t>(i)] = static_cast<float>(std::exp(-0.5 * std::pow((i - middle) / 5.0, 2)));
  const FilterSettings settings{.kind = std::get<0>(GetParam()),
                                .order = std::get<1>(GetParam()),
                                .corner_hz = 3,
                                .low_hz = 0.5,
                                .high_hz = 8,
                                .centre_hz = 25,
                                .width_hz = 4};
  const std::vector<float> y = values(*apply_filter(one_channel(x), settings, 100, 0));
  EXPECT_EQ(std::max_element(y.begin(), y.end()) - y.begin(), middle);
  EXPECT_GT(y[middle], 0.1);
  for (int32_t k = 1; k < middle; ++k)
    ASSERT_NEAR(y[static_cast<size_t>(middle - k)], y[static_cast<size_t>(middle + k)], 1e-5) << k;
}

INSTANTIATE_TEST_SUITE_P(Filters, SymmetricPulse,
                         ::testing::Combine(::testing::Values(FilterKind::LowPass, FilterKind::HighPass,
                                                              FilterKind::BandPass, FilterKind::Notch),
                                            ::testing::Values(1, 4, 8)));

TEST(FilterBlocks, EachBlockIsFilteredAsIfAloneAndChangesNoOther) {
  const int32_t block = 300;
  std::vector<float> x = test_signal(3 * block + 7);  // three blocks and a short rest
  const FilterSettings settings{.kind = FilterKind::BandPass, .order = 3, .low_hz = 0.5, .high_hz = 10};
  const std::vector<float> whole = values(*apply_filter(one_channel(x), settings, 100, block));
  for (size_t from = 0; from < x.size(); from += block) {
    const size_t to = std::min(x.size(), from + block);
    const std::vector<float> alone =
        values(*apply_filter(one_channel({x.begin() + from, x.begin() + to}), settings, 100, 0));
    EXPECT_TRUE(std::equal(alone.begin(), alone.end(), whole.begin() + static_cast<std::ptrdiff_t>(from)))
        << from;
  }
  x[block + 150] += 50;  // a spike in the second block
  const std::vector<float> spiked = values(*apply_filter(one_channel(x), settings, 100, block));
  EXPECT_TRUE(std::equal(whole.begin(), whole.begin() + block, spiked.begin()));
  EXPECT_TRUE(std::equal(whole.begin() + 2 * block, whole.end(), spiked.begin() + 2 * block));
  EXPECT_NE(whole[block + 150], spiked[block + 150]);
  // Filtered as one, the spike reaches across the boundary: the check above can see a leak.
  const std::vector<float> joined = values(*apply_filter(one_channel(x), settings, 100, 0));
  EXPECT_NE(joined[block - 1], whole[block - 1]);
}

TEST(FilterRefusal, NamesWhatCannotBeDesignedAndOnlyThat) {
  const double nan = std::nan("");
  struct Case {
    FilterSettings settings;
    double rate;
    const char* says;  // nullptr: accepted
  };
  const Case cases[] = {
      {{.kind = FilterKind::LowPass, .corner_hz = 0}, 100, "corner frequency must be above 0 Hz"},
      {{.kind = FilterKind::HighPass, .corner_hz = -1}, 100, "corner frequency must be above 0 Hz"},
      {{.kind = FilterKind::LowPass, .corner_hz = nan}, 100, "corner frequency must be above 0 Hz"},
      {{.kind = FilterKind::LowPass, .corner_hz = 50}, 100, "below half the sampling rate (50 Hz)"},
      {{.kind = FilterKind::HighPass, .corner_hz = 0.6}, 1, "below half the sampling rate (0.5 Hz)"},
      {{.kind = FilterKind::LowPass, .corner_hz = 49.999}, 100, nullptr},
      {{.kind = FilterKind::LowPass, .order = 0, .corner_hz = 5}, 100, "order must be 1 to 8, not 0"},
      {{.kind = FilterKind::LowPass, .order = 9, .corner_hz = 5}, 100, "order must be 1 to 8, not 9"},
      {{.kind = FilterKind::LowPass, .order = 8, .corner_hz = 5}, 100, nullptr},
      {{.kind = FilterKind::BandPass, .low_hz = 2, .high_hz = 1},
       100,
       "lower edge of the band must be below"},
      {{.kind = FilterKind::BandPass, .low_hz = 1, .high_hz = 1},
       100,
       "lower edge of the band must be below"},
      {{.kind = FilterKind::BandPass, .low_hz = 0, .high_hz = 1},
       100,
       "lower edge of the band must be above 0"},
      {{.kind = FilterKind::BandPass, .low_hz = 1, .high_hz = 50},
       100,
       "upper edge of the band must be below half"},
      {{.kind = FilterKind::Notch, .centre_hz = 50, .width_hz = 0}, 1000, "notch width must be above 0 Hz"},
      {{.kind = FilterKind::Notch, .centre_hz = 0, .width_hz = 1}, 1000, "notch centre must be above 0 Hz"},
      {{.kind = FilterKind::Notch, .centre_hz = 1, .width_hz = 4}, 1000, "reaches from -1 to 3 Hz"},
      {{.kind = FilterKind::Notch, .centre_hz = 49, .width_hz = 4}, 100, "reaches from 47 to 51 Hz"},
      {{.kind = FilterKind::Notch, .centre_hz = 50, .width_hz = 2}, 1000, nullptr},
      {{.kind = FilterKind::LowPass, .corner_hz = 5, .channels = PerChannel<bool>::filled(false)},
       100,
       "Tick at least one"},
      {{.kind = FilterKind::LowPass, .corner_hz = 5}, 0, "sampling rate above 0 Hz"},
  };
  for (const Case& c : cases) {
    const QString why = filter_refusal(c.settings, c.rate);
    SCOPED_TRACE(why.toStdString());
    EXPECT_EQ(why.isEmpty(), c.says == nullptr);
    if (c.says) {
      EXPECT_TRUE(why.contains(QString::fromUtf8(c.says)));
    }
    // What is refused has no design and filters nothing; what is accepted is designed.
    EXPECT_EQ(filter_design(c.settings, c.rate).empty(), c.says != nullptr);
    EXPECT_EQ(apply_filter(one_channel({1, 2, 3}), c.settings, c.rate, 0).has_value(), c.says == nullptr);
  }
}

TEST(FilterText, ShortAndFullFormsWithPlainNumbers) {
  const FilterSettings hp{.kind = FilterKind::HighPass, .corner_hz = 0.05};
  const FilterSettings notch{
      .kind = FilterKind::Notch, .order = 4, .centre_hz = 50, .width_hz = 2, .channels = {true, false, true}};
  const FilterSettings bp{.kind = FilterKind::BandPass, .low_hz = 0.1, .high_hz = 1};
  EXPECT_EQ(filters_text({hp, notch, bp, {.corner_hz = 1.0 / 3}}),
            "HP 0.05 Hz, notch 50 Hz, BP 0.1-1 Hz, LP 0.333333 Hz");
  EXPECT_EQ(filters_text({}), "");
  EXPECT_EQ(filter_description(notch),
            "notch 50 Hz, width 2 Hz, order 4 Butterworth, zero phase, channels 1 3");
  EXPECT_EQ(filter_description(hp), "HP 0.05 Hz, order 2 Butterworth, zero phase, channels 1 2 3");
  EXPECT_EQ(hz_text(0.000125), "0.000125");
  EXPECT_EQ(hz_text(123456.7), "123457");
  EXPECT_EQ(hz_text(59.9999999), "60");
}

TEST(FilterRun, CancelLeavesTheSamplesAndAFinishedRunSharesWhatItDidNotFilter) {
  SampleArray data;
  data.redim(3, 300000 - 1);
  for (int c = 1; c <= 3; ++c) {
    const std::vector<float> x = test_signal(data.size());
    std::copy(x.begin(), x.end(), data.write_channel(c));
  }
  const SampleArray before = data;
  std::vector<float> kept[4];
  for (int c = 1; c <= 3; ++c) kept[c] = values(data, c);
  const FilterSettings settings{
      .kind = FilterKind::HighPass, .corner_hz = 0.05, .channels = {true, false, true}};

  std::vector<int> percents;
  int asked = 0;
  const FilterProgress stop_at_third{[&](int p) { percents.push_back(p); }, [&] { return ++asked == 3; }};
  EXPECT_FALSE(apply_filter(data, settings, 1000, 0, stop_at_third));
  EXPECT_EQ(asked, 3);

  percents.clear();
  const auto out = apply_filter(data, settings, 1000, 0, {[&](int p) { percents.push_back(p); }, {}});
  ASSERT_TRUE(out);
  EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end()));
  EXPECT_EQ(percents.back(), 100);
  for (int c = 1; c <= 3; ++c) {
    EXPECT_TRUE(data.shares(before, c)) << c;
    EXPECT_EQ(values(data, c), kept[c]) << c;
  }
  EXPECT_TRUE(out->shares(data, 2));
  EXPECT_FALSE(out->shares(data, 1));
  EXPECT_NE(values(*out, 1), kept[1]);
}

}  // namespace
