// Guards the arithmetic behind paging, time zoom and averaging: block and half-screen steps with
// their limits, the seconds/milliseconds switches of expand and compress, the length rounding and
// start alignment of a zoom to the selection, and an average update that stays inside both
// arrays whatever their lengths.
#include <gtest/gtest.h>

#include "display/averaging.h"
#include "display/view_math.h"

using namespace quarvel;

TEST(Paging, StepsAndLimits) {
  EXPECT_FALSE(next_block(1, 1, -1)) << "no block length";
  EXPECT_FALSE(next_block(4, 3, 500)) << "past the last block";
  EXPECT_EQ(previous_block(3, 500)->view_start, 500);
  // Width 100: 80 samples on a screen, a step of 40.
  EXPECT_EQ(page_forward(1759, 100, 1800), 1799);
  EXPECT_EQ(page_back(50.5f, 100), 10.5f);
  EXPECT_EQ(page_back(50, 100), 0) << "half the full width back is the test";
}

TEST(TimeZoom, ExpandAndCompressWithinAUnit) {
  const float dt = 0.1f;  // 10 Hz
  const TimeScale t = expand_scale({8, 1, " s", 100}, dt);
  EXPECT_EQ(t.length, 4);
  EXPECT_EQ(t.width, 50);
  EXPECT_EQ(expand_scale({1, 0.001f, "ms", 0.0125f}, dt).length, 0.5f) << "no lower limit in ms";
  EXPECT_EQ(compress_scale({500, 0.001f, "ms", 6.25f}, dt).length, 1000) << "1000 ms stays in ms";
}

TEST(TimeZoom, SelectionLengthRoundsToTensAboveHundred) {
  // 512 s at 10 Hz: width 6400, ten samples per second.
  const TimeScale t{512, 1, " s", 6400};
  auto length_of = [&](float samples) {
    return zoom_to_selection(t, 100, 100 + samples, 0.1f)->scale.length;
  };
  EXPECT_EQ(length_of(2500), 250);
  EXPECT_EQ(length_of(1230), 120);
  EXPECT_EQ(length_of(1050), 100) << "10.5 tens round to the even 10";
  EXPECT_EQ(length_of(1150), 120);
  EXPECT_FLOAT_EQ(length_of(995), 99.5f) << "up to 100 the length is kept";
  const auto z = zoom_to_selection(t, 2600, 100, 0.1f);
  EXPECT_FLOAT_EQ(z->scale.width, 3125) << "either order of the edges";
  EXPECT_EQ(z->view_start, 100);
}

TEST(TimeZoom, ShortSelectionGoesToMillisecondsOnATenth) {
  // 8 s at 1000 Hz: width 10000.
  const auto z = zoom_to_selection({8, 1, " s", 10000}, 1000.37f, 1300.37f, 0.001f);
  ASSERT_TRUE(z);
  EXPECT_NEAR(z->scale.length, 300, 1e-3);
  EXPECT_EQ(z->scale.unit, "ms");
  EXPECT_EQ(z->scale.factor, 0.001f);
  EXPECT_NEAR(z->scale.width, 375, 1e-3);
  EXPECT_NEAR(z->view_start, 1000.4, 1e-3) << "1000.37 ms moved onto 1000.4 ms";
}

TEST(TimeZoom, NothingWithoutACompleteSelection) {
  const TimeScale t{8, 1, " s", 100};
  EXPECT_FALSE(zoom_to_selection(t, 10, -1, 0.1f));
  EXPECT_FALSE(zoom_to_selection(t, -1, 10, 0.1f));
  EXPECT_FALSE(zoom_to_selection(t, 10, 10, 0.1f)) << "an empty selection would give no width";
}

namespace {

SampleArray ramp(int channels, int32_t last, float from) {
  SampleArray a;
  a.redim(channels, last);
  for (int ch = 1; ch <= channels; ++ch)
    for (int32_t i = 0; i <= last; ++i) a(ch, i) = from + 10 * ch + i;
  return a;
}

}  // namespace

TEST(Average, WeighsTheNewBlockByTheCount) {
  SampleArray ave = ramp(3, 3, 0);
  const SampleArray work = ramp(3, 9, 100);
  const PerChannel<int16_t> sources{1, 0, 3};
  EXPECT_EQ(add_block_to_average(ave, 3, work, 4, sources), 3);
  EXPECT_FLOAT_EQ(ave(1, 0), (3 * 10.0f + 114) / 4);
  EXPECT_FLOAT_EQ(ave(3, 3), (3 * 33.0f + 137) / 4);
  EXPECT_EQ(ave(2, 1), 21) << "a channel without a source keeps its average";
}

TEST(Average, StaysInsideBothArrays) {
  const PerChannel<int16_t> sources{1, 1, 1};
  SampleArray ave = ramp(3, 39999, 0);  // longer than 32768 samples
  SampleArray work = ramp(2, 40009, 5);
  EXPECT_EQ(add_block_to_average(ave, 0, work, 10, sources), 39999);
  EXPECT_EQ(ave(2, 39999), work(2, 40009));
  EXPECT_EQ(ave(3, 5), 35) << "a channel the data does not hold is left alone";

  SampleArray shorter = ramp(3, 9, 0);
  EXPECT_EQ(add_block_to_average(shorter, 1, ramp(1, 5, 0), 2, sources), 3) << "cut at the data's end";
  EXPECT_EQ(shorter(1, 4), 14) << "beyond the cut the average is unchanged";

  SampleArray empty;
  EXPECT_EQ(add_block_to_average(empty, 0, work, 0, sources), -1);
  SampleArray ave2 = ramp(3, 3, 0);
  EXPECT_EQ(add_block_to_average(ave2, 0, work, 50000, sources), -1) << "a start past the data";
  // From 40007.5 the cut keeps k = 0..2, and k = 2 would round to 40010, one past the data.
  EXPECT_EQ(add_block_to_average(ave2, 0, work, 40007.5f, sources), 1);
  EXPECT_EQ(ave2(1, 1), work(1, 40008));
  EXPECT_EQ(ave2(1, 2), 12);
}
