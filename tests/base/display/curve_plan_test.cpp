// Guards the arithmetic of curve plotting: where a view ends (never past one block), the min/max
// range of a pixel column (spikes survive, only stored samples are read) and the marker runs
// that become marker bars.
#include <gtest/gtest.h>
#include <cmath>

#include "display/curve_plan.h"

using namespace quarvel;

TEST(LastShownSample, ContinuousViewsEndOneScreenOnOrAtTheLastSample) {
  EXPECT_EQ(last_shown_sample({false, -1, -1, 10000, 0, 4800}), 4800);
  EXPECT_EQ(last_shown_sample({false, -1, -1, 1800, 1000, 1800}), 1799) << "short of a screen: the last sample";
  EXPECT_EQ(last_shown_sample({false, -1, -1, 1800, 0, 1800}), 1799);
  EXPECT_EQ(last_shown_sample({false, -1, -1, 1801, 0, 1800}), 1800);
  EXPECT_EQ(last_shown_sample({false, -1, -1, 10000, 10.5f, 100}), 110) << "ties go to the even sample";
  EXPECT_EQ(last_shown_sample({false, -1, -1, 10000, 11.5f, 100}), 112);
}

TEST(LastShownSample, BlockViewsNeverShowMoreThanOneBlock) {
  EXPECT_EQ(last_shown_sample({true, 100, 3, 300, 0, 200}), 99) << "a screen wider than a block";
  EXPECT_EQ(last_shown_sample({true, 100, 3, 300, 100, 200}), 199);
  EXPECT_EQ(last_shown_sample({true, 100, 3, 300, 250, 200}), 299) << "the end of the last block";
  EXPECT_EQ(last_shown_sample({true, 1000, 2, 2000, 0, 400}), 400) << "a screen narrower than a block";
  EXPECT_EQ(last_shown_sample({true, 1000, 2, 2000, 1000, 800}), 1800);
  EXPECT_EQ(last_shown_sample({true, 1000, 2, 2000, 1500, 800}), 1999);
}

TEST(ColumnRange, ASingleSampleSpikeSurvives) {
  std::vector<float> v(100, 0.0f);
  v[37] = 900;
  v[61] = -450;
  const ValueRange r = column_range(v.data(), 100, 30, 40, 0);
  EXPECT_EQ(r.min, 0);
  EXPECT_EQ(r.max, 900);
  const ValueRange n = column_range(v.data(), 100, 61, 70, 0);
  EXPECT_EQ(n.min, -450) << "the spike at the first sample of the column";
  EXPECT_EQ(n.max, 0);
  const ValueRange shifted = column_range(v.data(), 100, 55, 61, 100);
  EXPECT_EQ(shifted.min, -350) << "the last sample is included, the offset added";
  EXPECT_EQ(shifted.max, 100);
}

TEST(ColumnRange, ReadsOnlyTheStoredSamples) {
  std::vector<float> v{4, -2, 7};
  const ValueRange tail = column_range(v.data(), 3, 2, 50, 0);
  EXPECT_FALSE(tail.empty());
  EXPECT_EQ(tail.min, 7);
  EXPECT_EQ(tail.max, 7);
  const ValueRange head = column_range(v.data(), 3, -5, 1, 0);
  EXPECT_EQ(head.min, -2);
  EXPECT_EQ(head.max, 4);
  EXPECT_TRUE(column_range(v.data(), 3, 3, 9, 0).empty()) << "a column past the data";
  EXPECT_TRUE(column_range(nullptr, 0, 0, 9, 0).empty()) << "no data at all";
  const float nan = std::nanf("");
  std::vector<float> bad{nan, nan};
  EXPECT_TRUE(column_range(bad.data(), 2, 0, 1, 0).empty());
}

namespace {

std::vector<int16_t> markers(size_t n, std::initializer_list<std::pair<size_t, int16_t>> set) {
  std::vector<int16_t> m(n, 0);
  for (const auto& [i, v] : set) m[i] = v;
  return m;
}

}  // namespace

TEST(MarkerRuns, ARunReachesTheFirstSampleAfterIt) {
  auto m = markers(50, {{10, 100}, {11, 100}, {12, 100}, {30, 100}});
  const auto runs = marker_runs(m, 0, 49);
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[0].start, 10);
  EXPECT_EQ(runs[0].end, 13);
  EXPECT_EQ(runs[1].start, 30);
  EXPECT_EQ(runs[1].end, 31);
}

TEST(MarkerRuns, RunsCutByTheViewStartAtItsEdgeAndEndAtTheLastSample) {
  std::vector<int16_t> m(100, 0);
  for (size_t i = 5; i <= 20; ++i) m[i] = 100;
  for (size_t i = 60; i < 100; ++i) m[i] = 100;
  const auto runs = marker_runs(m, 10.25f, 80);
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_FLOAT_EQ(runs[0].start, 10.25f) << "on at the left edge: starts at view_start itself";
  EXPECT_EQ(runs[0].end, 21);
  EXPECT_EQ(runs[1].start, 60);
  EXPECT_EQ(runs[1].end, 80);
  const auto clipped = marker_runs(m, 50, 500);
  ASSERT_EQ(clipped.size(), 1u);
  EXPECT_EQ(clipped[0].end, 99) << "a view past the stored words stops at the last one";
}

TEST(MarkerRuns, StimuliOpenNoBarExceptAtTheLeftEdge) {
  auto m = markers(20, {{3, 200}, {8, 200}});
  EXPECT_TRUE(marker_runs(m, 0, 19).empty());
  const auto edge = marker_runs(m, 3, 19);
  ASSERT_EQ(edge.size(), 1u) << "any marker word at the left edge counts as on";
  EXPECT_EQ(edge[0].start, 3);
  EXPECT_EQ(edge[0].end, 3);
  EXPECT_TRUE(marker_runs(m, 25, 40).empty());
  EXPECT_TRUE(marker_runs({}, 0, 10).empty());
}
