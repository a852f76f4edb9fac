// Guards what is decided before a port opens (the Firmata interval a rate asks for, the rates a
// link carries and the highest that fits) and the two pieces between the reader and the loop: the
// rate meter's 1 % over 5 s, and a full frame buffer that counts what it loses.
#include <gtest/gtest.h>

#include "acquisition/frame_fifo.h"
#include "acquisition/rate_meter.h"
#include "acquisition/serial_link.h"

using namespace quarvel;

namespace {

struct IntervalCase {
  float rate;
  int ms;  // 0: refused
  const char* refusal_part;
};

TEST(FirmataInterval, IsAWholeNumberOfMilliseconds) {
  const IntervalCase cases[] = {
      {1000, 1, ""},
      {500, 2, ""},
      {333.333f, 3, ""},
      {10, 100, ""},
      {0.5f, 2000, ""},
      {333.3f, 3, ""},  // 3000.3 us: the header's whole microseconds make it 3 ms
      {300, 0, "300 Hz would need 3.333 ms. The nearest rates are 333.333 Hz (3 ms) and 250 Hz (4 ms)."},
      {333, 0, "3.003 ms"},
      {2000, 0, "the highest rate is 1000 Hz"},
      {0.05f, 0, "the lowest rate is 0.0610389 Hz"},
      {0, 0, "above 0 Hz"},
  };
  for (const IntervalCase& c : cases) {
    SCOPED_TRACE(c.rate);
    const FirmataInterval i = firmata_interval(c.rate);
    EXPECT_EQ(i.ms, c.ms);
    EXPECT_NE(i.refusal.indexOf(QString::fromUtf8(c.refusal_part)), -1) << i.refusal.toStdString();
    EXPECT_EQ(i.refusal.isEmpty(), c.ms != 0);
  }
}

struct LinkCase {
  DeviceKind kind;
  int32_t baud;
  int inputs;
  float rate;
  bool fits;
  double highest;
};

TEST(LinkCapacity, RefusesWhatTheLinkCannotCarryAndNamesWhatFits) {
  const LinkCase cases[] = {
      // 57600 baud: 5184 bytes a second; 12 bytes a frame of four pins.
      {DeviceKind::Firmata, 57600, 4, 1000, false, 1000.0 / 3},
      {DeviceKind::Firmata, 57600, 4, 1000.0f / 3, true, 1000.0 / 3},
      {DeviceKind::Firmata, 57600, 1, 1000, true, 1000},
      {DeviceKind::Firmata, 57600, 2, 1000, false, 500},
      // Lines of 21 bytes: 493 a second at 115200, 4285 at 1000000.
      {DeviceKind::SerialLines, 115200, 4, 1000, false, 493},
      {DeviceKind::SerialLines, 115200, 1, 493, true, 493},
      {DeviceKind::SerialLines, 1000000, 4, 1000, true, 4285},
  };
  for (const LinkCase& c : cases) {
    SCOPED_TRACE(c.baud * 10 + c.inputs);
    InputSet in;
    for (int k = 1; k <= c.inputs; ++k) in.add(k);
    const LinkFit f = check_link(c.kind, c.baud, in, c.rate);
    EXPECT_EQ(f.fits, c.fits);
    EXPECT_NEAR(f.highest_rate_hz, c.highest, 1e-9);
    EXPECT_EQ(f.refusal.isEmpty(), c.fits);
  }
  EXPECT_EQ(
      check_link(DeviceKind::Firmata, 57600, InputSet::of({1, 2, 3, 4}), 1000).refusal,
      "4 inputs of a Firmata board (3 bytes each) at 1000 Hz need 12000 bytes a second, more than a 57600 "
      "baud link carries (about 5184). The highest rate that fits is 333.333 Hz.");
  EXPECT_EQ(baud_refusal(9600), "");
  EXPECT_EQ(baud_refusal(2000001), "The baud rate must be from 9600 to 2000000.");
}

constexpr int64_t kS = 1'000'000'000;

TEST(RateMeter, ReportsARateOffByMoreThanOnePercentOver5s) {
  RateMeter m(100);
  m.add(0, 3);                                               // the first reading only starts the count
  for (int64_t t = 1; t <= 50; ++t) m.add(t * kS / 10, 10);  // 500 frames in 5 s
  EXPECT_TRUE(m.measured());
  EXPECT_DOUBLE_EQ(m.arriving_hz(), 100);
  EXPECT_FALSE(m.off());
  for (int64_t t = 51; t <= 100; ++t) m.add(t * kS / 10, t % 10 == 0 ? 11 : 10);  // 505 in 5 s: 1 %
  EXPECT_FALSE(m.off());
  for (int64_t t = 101; t <= 150; ++t) m.add(t * kS / 10, t % 5 == 0 ? 11 : 10);  // 510: 2 %
  EXPECT_DOUBLE_EQ(m.arriving_hz(), 102);
  EXPECT_TRUE(m.off());
  // A frame every 0.3 s, and readings without one 0.25 s after each: the windows run from frame
  // to frame, not to the first reading 5 s on (16 frames in 5.05 s would be 5 % off).
  RateMeter slow(1000.0 / 300);
  for (int64_t ms = 0; ms <= 12000; ms += 300) {
    slow.add(ms * kS / 1000, 1);
    slow.add((ms + 250) * kS / 1000, 0);
  }
  EXPECT_DOUBLE_EQ(slow.arriving_hz(), 1000.0 / 300);
  EXPECT_FALSE(slow.off());
  for (int64_t t = 151; t < 200; ++t) m.add(t * kS / 10, 0);  // a stalled device
  EXPECT_TRUE(m.measured() && m.arriving_hz() == 102);
  m.add(200 * kS / 10, 0);
  EXPECT_DOUBLE_EQ(m.arriving_hz(), 0);
  EXPECT_TRUE(m.off());
}

TEST(FrameFifo, GivesEveryFrameInOrderAndCountsWhatDidNotFit) {
  FrameFifo f(4);
  std::vector<Frame> in;
  for (int16_t k = 0; k < 7; ++k) in.push_back(Frame{{k, 0, 0, 0}});
  std::vector<Frame> out;
  f.push(std::span(in).first(3));
  f.take_all(out);
  f.push(std::span(in).subspan(3));  // round the end of the ring
  f.take_all(out);
  EXPECT_EQ(out, in);
  EXPECT_EQ(f.overruns(), 0);
  f.push(in);
  EXPECT_EQ(f.overruns(), 3);
  out.clear();
  f.take_all(out);
  EXPECT_EQ(out, std::vector<Frame>(in.begin(), in.begin() + 4));
  EXPECT_GE(fifo_capacity_for(1000), 60000u);
  EXPECT_EQ(fifo_capacity_for(1e9), 1u << 22);
}

}  // namespace
