// Guards the representation of the shared state: 1-based channel arrays, 0-based sample arrays
// that re-dimension to zeros, flags as -1/0, and the fixed start of the program-wide generator.
#include <gtest/gtest.h>

#include "core/shared_state.h"

using namespace quarvel;

TEST(SharedState, FlagsAreStoredAsMinusOneAndZero) {
  EXPECT_EQ(kTrue.stored(), -1);
  EXPECT_EQ(static_cast<uint16_t>(kTrue.stored()), 0xFFFF);
  EXPECT_EQ(Flag(true), kTrue);
  EXPECT_EQ(Flag(false).stored(), 0);
  EXPECT_EQ(Flag::from_stored(5), kTrue) << "any value but 0 is true";
  EXPECT_FALSE(static_cast<bool>(Flag::from_stored(0)));
  SharedState s;
  EXPECT_EQ(s.show_single, kTrue);
  EXPECT_EQ(s.block_mode, kFalse);
}

TEST(SharedState, ChannelArraysAreIndexedOneToThree) {
  SharedState s;
  s.ch_max[1] = 5;
  s.ch_max[3] = 7;
  EXPECT_EQ(s.ch_max[1], 5);
  EXPECT_EQ(s.ch_max[2], 1000);
  EXPECT_EQ(s.ch_max[3], 7);
  EXPECT_EQ(s.range_table[1], 5000);
  EXPECT_EQ(s.range_table[4], 1000);
  EXPECT_FLOAT_EQ(s.range_table[20], 0.1f);
  EXPECT_EQ(s.ch_colour[2], rgb(255, 255, 0));
  EXPECT_EQ(s.ch_colour[3], 0xFFFF00);
  EXPECT_EQ(s.unit_text[0], " s");
  EXPECT_EQ(s.unit_text[2], " s");
}

TEST(SharedState, CountsActiveChannels) {
  SharedState s;
  EXPECT_EQ(s.count_active_channels(), 0);
  s.ch_source[1] = 2;
  s.ch_source[3] = 4;
  EXPECT_EQ(s.count_active_channels(), 2);
}

TEST(SampleArray, RedimensionZeroesAndKeepsTheUpperBound) {
  SampleArray a;
  EXPECT_EQ(a.last_index(), -1);
  a.redim(3, 9);
  EXPECT_EQ(a.channels(), 3);
  EXPECT_EQ(a.last_index(), 9);
  a(2, 9) = 4.5f;
  EXPECT_EQ(a(2, 9), 4.5f);
  EXPECT_FALSE(a.has(2, 10));
  EXPECT_FALSE(a.has(4, 0));
  a.redim(2, 4);
  EXPECT_EQ(a.channels(), 2);
  EXPECT_EQ(a(2, 4), 0.0f);
  EXPECT_FALSE(a.has(3, 0));
  EXPECT_EQ(a(3, 0), 0.0f) << "outside the array reads as zero";
  a(1, 5) = 9;  // a write past the end goes nowhere
  EXPECT_EQ(a(1, 5), 0.0f);
  EXPECT_EQ(a.last_index(), 4);
  SampleArray copy = a;
  copy(1, 0) = 1;
  EXPECT_EQ(a(1, 0), 0) << "a copy is a whole, separate array";
}

TEST(SampleArray, ReshapeKeepsTheValuesHeld) {
  SampleArray a;
  a.redim(1, 2);
  a(1, 2) = 5;
  a.reshape(3, 3);
  EXPECT_EQ(a.channels(), 3);
  EXPECT_EQ(a.last_index(), 3);
  EXPECT_EQ(a(1, 2), 5);
  EXPECT_EQ(a(1, 3), 0);
  EXPECT_EQ(a(3, 3), 0);
  EXPECT_TRUE(a.has(3, 3));
}

TEST(UniformRandom, SameSequenceEveryRunAndWithinZeroToOne) {
  UniformRandom a, b;
  double lo = 1, hi = 0, sum = 0;
  for (int i = 0; i < 100000; ++i) {
    const double x = a.next();
    EXPECT_EQ(x, b.next());
    lo = std::min(lo, x);
    hi = std::max(hi, x);
    sum += x;
  }
  EXPECT_GE(lo, 0.0);
  EXPECT_LT(hi, 1.0);
  EXPECT_NEAR(sum / 100000, 0.5, 0.01);
}

TEST(ResultsStore, HoldsAThousandRecordsPerChannel) {
  ResultsStore r;
  r.at(1000, 3).kind = 7;
  r.at(1000, 3).v[7] = 2.5f;
  EXPECT_EQ(r.at(1000, 3).kind, 7);
  EXPECT_EQ(r.at(1000, 2).kind, 0);
  EXPECT_FALSE(ResultsStore::fits(1001));
  r.clear();
  EXPECT_EQ(r.at(1000, 3).kind, 0);
  EXPECT_EQ(r.at(1000, 3).v[7], 0);
}
