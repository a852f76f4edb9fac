// Guards the sample and marker arrays' summaries and sharing: the extremes of any stretch and the
// first and last marker word of a kind, checked against reading every value at every summary
// level and for ranges that start and end anywhere (NaN skipped as column_range skips it); copies
// that share their channels until one of them writes, summaries dropped by writes, channels not
// held reading as 0, and the spare slot a reader leaves taken without a copy.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "core/marker_array.h"
#include "core/sample_array.h"
#include "display/curve_plan.h"

using namespace quarvel;

namespace {

// Random ranges of every length scale up to n, plus ranges on the entry edges of each level
// (64, 512, 4096, 32768 values) and one value either side of them.
std::vector<std::pair<int64_t, int64_t>> ranges(int64_t n, std::mt19937& gen) {
  std::vector<std::pair<int64_t, int64_t>> r;
  std::uniform_int_distribution<int64_t> at(-3, n + 3);
  for (int k = 0; k < 300; ++k) {
    const int64_t a = at(gen);
    const int64_t len = static_cast<int64_t>(std::pow(static_cast<double>(n + 1), std::generate_canonical<double, 32>(gen)));
    r.emplace_back(a, a + len);
  }
  for (const int64_t block : {int64_t{64}, int64_t{512}, int64_t{4096}, int64_t{32768}})
    for (const int64_t d : {int64_t{-1}, int64_t{0}, int64_t{1}})
      for (int64_t a = 0; a + block <= n; a += block * 3 + 7) r.emplace_back(a + d, a + 2 * block + d - 1);
  r.emplace_back(0, n - 1);
  r.emplace_back(5, 4);
  return r;
}

class Summaries : public ::testing::TestWithParam<int64_t> {};

TEST_P(Summaries, ExtremesMatchReadingEveryValue) {
  const int64_t n = GetParam();
  std::mt19937 gen(static_cast<unsigned>(n));
  std::normal_distribution<float> value(0, 1000);
  SampleArray a;
  a.redim(2, static_cast<int32_t>(n - 1));
  for (int64_t i = 0; i < n; ++i) {
    a(1, static_cast<int32_t>(i)) = value(gen);
    // Channel 2: NaN stretches, one longer than a block of the second level.
    const bool nan = (i / 700) % 5 == 2 || (i >= 2048 && i < 2048 + 1100);
    a(2, static_cast<int32_t>(i)) = nan ? std::numeric_limits<float>::quiet_NaN() : value(gen);
  }
  for (int ch = 1; ch <= 2; ++ch) {
    // Each range asked alone and all of them in one batch.
    const std::vector<std::pair<int64_t, int64_t>> asked = ranges(n, gen);
    std::vector<IndexRange> batch;
    for (const auto& [first, last] : asked) batch.push_back(IndexRange{first, last});
    const std::vector<Extremes> together = a.extremes(ch, batch);
    ASSERT_EQ(together.size(), asked.size());
    for (size_t k = 0; k < asked.size(); ++k) {
      const auto [first, last] = asked[k];
      const ValueRange want = column_range(a.channel(ch), n, first, last, 0);
      for (const Extremes& got : {a.extremes(ch, first, last), together[k]}) {
        ASSERT_EQ(got.empty(), want.empty()) << "channel " << ch << ", " << first << ".." << last;
        if (want.empty()) continue;
        ASSERT_EQ(got.lo, want.min) << "channel " << ch << ", " << first << ".." << last;
        ASSERT_EQ(got.hi, want.max) << "channel " << ch << ", " << first << ".." << last;
      }
    }
  }
}

TEST_P(Summaries, MarkerSearchesMatchReadingEveryWord) {
  const int64_t n = GetParam();
  std::mt19937 gen(static_cast<unsigned>(n) + 1);
  std::discrete_distribution<int> kind({90, 8, 2});
  std::vector<int16_t> words(static_cast<size_t>(n));
  for (int16_t& m : words) m = static_cast<int16_t>(kind(gen) * 100);
  // Long stretches without any stimulus and all on, so whole blocks say no at every level.
  for (int64_t i = n / 3; i < std::min(n, n / 3 + 40000); ++i) words[static_cast<size_t>(i)] = 100;
  const MarkerArray m(words);
  for (const MarkerTest t : {MarkerTest::On, MarkerTest::NotOn, MarkerTest::Stimulus}) {
    for (const auto& [from, to] : ranges(n, gen)) {
      int64_t first = -1, last = -1;
      for (int64_t i = std::max<int64_t>(from, 0); i <= std::min(to, n - 1); ++i) {
        if (!passes(words[static_cast<size_t>(i)], t)) continue;
        if (first < 0) first = i;
        last = i;
      }
      ASSERT_EQ(m.first(from, to, t), first) << static_cast<int>(t) << ": " << from << ".." << to;
      ASSERT_EQ(m.last(from, to, t), last) << static_cast<int>(t) << ": " << from << ".." << to;
    }
  }
}

// Whole numbers kept as int16 read, summarise and copy out exactly as the same values held as
// floats, and become floats unchanged for a reader of floats and for a writer, shared or not.
TEST_P(Summaries, WholeNumbersReadAsTheSameFloats) {
  const int64_t n = GetParam();
  std::mt19937 gen(static_cast<unsigned>(n) + 2);
  std::uniform_int_distribution<int> word(-32768, 32767);
  SampleArray whole, floats;
  whole.redim_whole_for_filling(2, static_cast<int32_t>(n - 1), 1);
  floats.redim(2, static_cast<int32_t>(n - 1));
  for (int ch = 1; ch <= 2; ++ch) {
    int16_t* w = whole.whole_channel_for_filling(ch);
    for (int64_t i = 0; i < n; ++i) {
      // Channel 2 has the extremes of the type and long constant stretches.
      const int v = ch == 1 ? word(gen) : ((i / 500) % 3 == 0 ? -32768 : (i / 500) % 3 == 1 ? 32767 : word(gen));
      w[i] = static_cast<int16_t>(v);
      floats(ch, static_cast<int32_t>(i)) = static_cast<float>(v);
    }
  }
  for (int ch = 1; ch <= 2; ++ch) {
    ASSERT_TRUE(whole.holds_whole(ch));
    std::vector<IndexRange> batch;
    for (const auto& [first, last] : ranges(n, gen)) batch.push_back(IndexRange{first, last});
    const std::vector<Extremes> got = whole.extremes(ch, batch), want = floats.extremes(ch, batch);
    for (size_t k = 0; k < batch.size(); ++k) {
      const auto [first, last] = batch[k];
      const Extremes one = whole.extremes(ch, first, last);
      ASSERT_TRUE(got[k].lo == want[k].lo && got[k].hi == want[k].hi && one.lo == want[k].lo && one.hi == want[k].hi)
          << "channel " << ch << ", " << first << ".." << last;
    }
    std::vector<float> out(static_cast<size_t>(n));
    whole.copy_out(ch, 0, n, out.data());
    ASSERT_EQ(out, std::vector<float>(floats.channel(ch), floats.channel(ch) + n));
    ASSERT_TRUE(whole.holds_whole(ch)) << "copied out without becoming floats";
  }

  // A copy shares the whole numbers; a write gives the writer floats of the same values.
  SampleArray copy = whole;
  copy.write_channel(1)[0] += 1;
  EXPECT_TRUE(whole.holds_whole(1)) << "the other copy keeps its whole numbers";
  EXPECT_EQ(copy(1, 0), floats(1, 0) + 1);
  for (int64_t i = 1; i < n; ++i) ASSERT_EQ(copy(1, static_cast<int32_t>(i)), floats(1, static_cast<int32_t>(i)));
  // Asking for floats makes them once, for both copies sharing the channel.
  copy = whole;
  const float* f = whole.channel(2);
  EXPECT_FALSE(whole.holds_whole(2) || copy.holds_whole(2));
  EXPECT_TRUE(copy.shares(whole, 2));
  EXPECT_TRUE(std::equal(f, f + n, floats.channel(2)));
  EXPECT_EQ(whole.extremes(2, 0, n - 1).lo, floats.extremes(2, 0, n - 1).lo);
}

// 1 and 63 values have no level; 65 one; the largest has five.
INSTANTIATE_TEST_SUITE_P(Lengths, Summaries, ::testing::Values(1, 63, 65, 1025, 40000, 1100000));

TEST(SharedSamples, AWriteToEitherCopyLeavesTheOther) {
  SampleArray raw;
  raw.redim(2, 99999);
  for (int32_t i = 0; i < 100000; ++i) raw(1, i) = static_cast<float>(i);
  SampleArray work = raw;
  EXPECT_TRUE(work.shares(raw, 1)) << "a copy shares until a write";
  EXPECT_EQ(work.channel(1), raw.channel(1));
  EXPECT_EQ(work.extremes(1, 0, 99999).hi, 99999);  // the summary is made once, for both

  work(1, 50000) = 1e6f;
  EXPECT_FALSE(work.shares(raw, 1));
  EXPECT_TRUE(work.shares(raw, 2)) << "only the channel written is copied";
  EXPECT_EQ(raw(1, 50000), 50000) << "the raw samples stay";
  EXPECT_EQ(work.extremes(1, 0, 99999).hi, 1e6f) << "the writer's summary is made anew";
  EXPECT_EQ(raw.extremes(1, 0, 99999).hi, 99999);

  SampleArray again = raw;
  raw.write_channel(1)[7] = -5;
  EXPECT_EQ(again(1, 7), 7) << "and the other way round";
  EXPECT_EQ(raw.extremes(1, 0, 99999).lo, -5);
  raw.set(1, 8, -6);
  EXPECT_EQ(raw.extremes(1, 0, 99999).lo, -6) << "a write to an unshared channel drops its summary too";

  const SampleArray& read = work;
  const float before = read(1, 3);
  EXPECT_EQ(work(1, 3), before);  // reading through a non-const array writes nothing
  EXPECT_FALSE(again.shares(raw, 1));
}

TEST(SharedSamples, ChannelsNotHeldReadAsZeroAndTheSpareSlotCostsNoCopy) {
  SampleArray a;
  a.redim_for_filling(1, 9, 1);
  float* held = a.write_channel(1);
  for (int32_t i = 0; i < 10; ++i) held[i] = static_cast<float>(i + 1);
  a.reshape(3, 10);
  EXPECT_EQ(a.channel(1), held) << "the reserved slot is taken in place";
  EXPECT_EQ(a(1, 9), 10);
  EXPECT_EQ(a(1, 10), 0) << "the new slot is 0";
  EXPECT_FALSE(a.holds(2));
  EXPECT_FALSE(a.holds(3));
  EXPECT_EQ(a(3, 10), 0);
  EXPECT_EQ(a.channel(2)[10], 0);
  const Extremes zero = a.extremes(2, 0, 10);
  EXPECT_EQ(zero.lo, 0);
  EXPECT_EQ(zero.hi, 0);
  a(2, 4) = 3;
  EXPECT_TRUE(a.holds(2));
  EXPECT_EQ(a(2, 4), 3);
  EXPECT_EQ(a(2, 5), 0);
}

}  // namespace
