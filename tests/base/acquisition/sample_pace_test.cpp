// Guards the pace of acquisition against a clock moved by hand: samples fall due with elapsed time,
// not with ticks (a late tick owes every sample it missed, a long stall owes them all), a rate
// change keeps what was owed and times the next sample from the change, STOP owes nothing more,
// and rates become whole-nanosecond periods.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "acquisition/sample_pace.h"

using namespace quarvel;

namespace {

constexpr int64_t kMs = 1000 * 1000;

class HandClock : public Clock {
 public:
  int64_t now_ns() const override { return t; }
  int64_t t = 1234567;  // not 0, so nothing can rely on the clock starting there
};

enum class Op { Start, Wait, TakeAll, SetPeriod, Stop };

// What is done, then how many samples are owed and how long until the next one falls due.
struct Step {
  Op op;
  int64_t arg;  // a period (Start, SetPeriod) or nanoseconds to let pass (Wait)
  int64_t owed;
  int64_t until_next;
};

struct Scenario {
  const char* name;
  std::vector<Step> steps;
  int64_t taken;  // samples taken at the end
};

class Pace : public ::testing::TestWithParam<Scenario> {};

TEST_P(Pace, OwesTheSamplesThatElapsedTimeCallsFor) {
  HandClock clock;
  SamplePace pace(clock);
  int at = 0;
  for (const Step& s : GetParam().steps) {
    ++at;
    switch (s.op) {
      case Op::Start:
        pace.start(s.arg);
        break;
      case Op::Wait:
        clock.t += s.arg;
        break;
      case Op::SetPeriod:
        pace.set_period(s.arg);
        break;
      case Op::Stop:
        pace.stop();
        break;
      case Op::TakeAll: {
        const int64_t owed = pace.owed();
        int64_t got = 0;
        while (pace.take()) ++got;
        EXPECT_EQ(got, owed) << "step " << at;
        break;
      }
    }
    EXPECT_EQ(pace.owed(), s.owed) << "step " << at;
    EXPECT_EQ(pace.until_next_ns(), s.until_next) << "step " << at;
  }
  EXPECT_EQ(pace.taken(), GetParam().taken);
}

INSTANTIATE_TEST_SUITE_P(
    FakeClock, Pace,
    ::testing::Values(Scenario{"OnTimeTicks",
                               {{Op::Start, 5 * kMs, 0, 5 * kMs},
                                {Op::Wait, 4 * kMs, 0, 1 * kMs},
                                {Op::Wait, 1 * kMs, 1, 0},
                                {Op::TakeAll, 0, 0, 5 * kMs},
                                {Op::Wait, 5 * kMs, 1, 0},
                                {Op::TakeAll, 0, 0, 5 * kMs}},
                               2},
                      Scenario{"LateTicksOweWhatTheyMissed",
                               {{Op::Start, 1 * kMs, 0, 1 * kMs},
                                {Op::Wait, 3 * kMs + 400000, 3, 0},
                                {Op::TakeAll, 0, 0, 600000},
                                {Op::Wait, 1 * kMs, 1, 0},  // 4.4 ms: the fourth is due, the fifth not yet
                                {Op::TakeAll, 0, 0, 600000},
                                {Op::Wait, 7 * kMs + 600000, 8, 0},
                                {Op::TakeAll, 0, 0, 1 * kMs}},
                               12},
                      Scenario{"AStallOfAnHourOwesEverySample",
                               {{Op::Start, 1 * kMs, 0, 1 * kMs},
                                {Op::Wait, 3600LL * 1000 * kMs, 3600000, 0},
                                {Op::TakeAll, 0, 0, 1 * kMs},
                                {Op::Wait, 999999, 0, 1}},
                               3600000},
                      Scenario{"RateChangeKeepsWhatWasOwedAndTimesTheNextFromTheChange",
                               {{Op::Start, 100 * kMs, 0, 100 * kMs},
                                {Op::Wait, 250 * kMs, 2, 0},
                                {Op::SetPeriod, 50 * kMs, 2, 0},
                                {Op::TakeAll, 0, 0, 50 * kMs},
                                {Op::Wait, 120 * kMs, 2, 0},
                                {Op::TakeAll, 0, 0, 30 * kMs},
                                {Op::SetPeriod, 50 * kMs, 0, 30 * kMs},  // the same period: nothing moves
                                {Op::SetPeriod, 1 * kMs, 0, 1 * kMs},
                                {Op::Wait, 10 * kMs, 10, 0},
                                {Op::TakeAll, 0, 0, 1 * kMs}},
                               14},
                      Scenario{"StopOwesNothingMoreAndAStartBeginsAfresh",
                               {{Op::Start, 1 * kMs, 0, 1 * kMs},
                                {Op::Wait, 3 * kMs, 3, 0},
                                {Op::Stop, 0, 0, -1},
                                {Op::TakeAll, 0, 0, -1},
                                {Op::Wait, 10 * kMs, 0, -1},
                                {Op::Start, 2 * kMs, 0, 2 * kMs},
                                {Op::Wait, 2 * kMs, 1, 0},
                                {Op::TakeAll, 0, 0, 2 * kMs}},
                               1},
                      Scenario{"APeriodOfNoWholeMillisecondDoesNotDrift",  // 300 Hz for a minute
                               {{Op::Start, 3333333, 0, 3333333},
                                {Op::Wait, 60000 * kMs, 18000, 0},
                                {Op::TakeAll, 0, 0, 3333333 - (60000 * kMs - 18000LL * 3333333)}},
                               18000}),
    [](const ::testing::TestParamInfo<Scenario>& p) { return std::string(p.param.name); });

TEST(SamplePeriod, IsTheRateInWholeNanosecondsWithinLimits) {
  struct Case {
    double hz;
    int64_t ns;
  };
  const Case cases[] = {
      {1000, 1000000},       {200, 5000000},       {300, 3333333},
      {0.5, 2000000000},     {1e9, 1000},  // never below 1 us
      {1e-6, 1000000000000},               // nor above 1000 s
      {0, 1000000000000},    {-10, 1000000000000}, {std::numeric_limits<double>::quiet_NaN(), 1000000000000}};
  for (const Case& c : cases) EXPECT_EQ(sample_period_ns(c.hz), c.ns) << c.hz << " Hz";
}

}  // namespace
