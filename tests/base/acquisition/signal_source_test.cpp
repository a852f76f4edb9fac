// Guards the signal generator: the reset, the sample formula against an independent computation
// from the same random stream, one counter step per sample, the value ranges, and the fixed
// random sequence of every run.
#include <gtest/gtest.h>
#include <cmath>

#include "acquisition/signal_source.h"

using namespace quarvel;

TEST(SimSample, ResetReturnsZeroAndDrawsNoRandomNumber) {
  SharedState s;
  s.sim_phase = 42;
  const uint64_t before = s.rng.state();
  EXPECT_EQ(sim_sample(s, -1), 0.0f);
  EXPECT_EQ(s.sim_phase, 0.0f);
  EXPECT_EQ(s.rng.state(), before);
}

TEST(SimSample, FollowsTheFormulaFromTheSameRandomStream) {
  SharedState s;
  UniformRandom twin = s.rng;
  // counter 0: k = 0
  const double u1 = twin.next(), u2 = twin.next();
  EXPECT_FLOAT_EQ(sim_sample(s, 0), static_cast<float>((u2 - 0.5) * 50 + 50 * std::sin(10 * u1)));
  EXPECT_EQ(s.sim_phase, 1.0f);
  // counter 25: k = round(25 x 2 pi / 100) = round(1.5708) = 2
  s.sim_phase = 25;
  const double v1 = twin.next(), v2 = twin.next();
  EXPECT_FLOAT_EQ(sim_sample(s, 0), static_cast<float>((v2 - 0.5) * 50 + 50 * std::sin(10 * v1 + 2)));
  // counter 1600: round(100.53) = 101, remainder 1
  s.sim_phase = 1600;
  const double w1 = twin.next(), w2 = twin.next();
  EXPECT_FLOAT_EQ(sim_sample(s, 0), static_cast<float>((w2 - 0.5) * 50 + 50 * std::sin(10 * w1 + 1)));
}

TEST(SimSample, StaysWithinRangeAndRepeatsEveryRun) {
  SharedState a, b;
  for (int i = 0; i < 20000; ++i) {
    const float v = sim_sample(a, 0);
    EXPECT_EQ(v, sim_sample(b, 0));
    ASSERT_GE(v, -75.0f);
    ASSERT_LT(v, 75.0f);
  }
  EXPECT_EQ(a.sim_phase, 20000.0f);
}

TEST(BlockSample, UniformNoiseAroundZero) {
  SharedState s;
  double sum = 0;
  for (int i = 0; i < 20000; ++i) {
    const float v = block_sample(s);
    ASSERT_GE(v, -25.0f);
    ASSERT_LT(v, 25.0f);
    sum += v;
  }
  EXPECT_NEAR(sum / 20000, 0, 0.5);
  EXPECT_EQ(s.sim_phase, 0.0f) << "block samples leave the loop's counter alone";
}
