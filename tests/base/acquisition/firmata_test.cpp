// Guards the Firmata codec and a recording's conversation with a board, against the protocol's
// bytes written out by hand: the messages sent, the decoding of what a board sends (malformed
// messages counted and skipped), frames of one value per reported pin in order, and the session on
// a clock moved by hand (waiting for the version report, the set-up, the pulse, the end).
#include <gtest/gtest.h>

#include <string>

#include "acquisition/firmata.h"
#include "acquisition/firmata_session.h"

using namespace quarvel;
using namespace quarvel::firmata;

namespace {

TEST(FirmataMessages, AreTheProtocolsBytes) {
  EXPECT_EQ(query_version(), (Bytes{0xF9}));
  EXPECT_EQ(query_firmware(), (Bytes{0xF0, 0x79, 0xF7}));
  EXPECT_EQ(query_analog_mapping(), (Bytes{0xF0, 0x69, 0xF7}));
  EXPECT_EQ(sampling_interval(16383), (Bytes{0xF0, 0x7A, 0x7F, 0x7F, 0xF7}));
  EXPECT_EQ(sampling_interval(200), (Bytes{0xF0, 0x7A, 0x48, 0x01, 0xF7}));
  EXPECT_EQ(report_analog(3, true), (Bytes{0xC3, 0x01}));
  EXPECT_EQ(set_pin_mode(13, kPinModeOutput), (Bytes{0xF4, 0x0D, 0x01}));
  EXPECT_EQ(digital_port(1, 1 << 5), (Bytes{0x91, 0x20, 0x00}));
  EXPECT_EQ(digital_port(0, 0x80), (Bytes{0x90, 0x00, 0x01}));
}

std::string text_of(const Message& m) {
  const std::string n = std::to_string(m.channel), v = std::to_string(m.value);
  const std::string version = std::to_string(m.major) + "." + std::to_string(m.minor);
  switch (m.kind) {
    case Kind::ProtocolVersion:
      return "V" + version;
    case Kind::Firmware:
      return "F" + m.name.toStdString() + " " + version;
    case Kind::Analog:
      return "A" + n + "=" + v;
    case Kind::Digital:
      return "D" + n + "=" + v;
    case Kind::AnalogMapping:
      return "M" + std::to_string(m.data.size());
    case Kind::String:
      return "S" + m.name.toStdString();
    default:
      return "?" + n;
  }
}

struct DecodeCase {
  const char* name;
  Bytes bytes;
  std::string messages;  // the texts above, one space after each
  int malformed;
};

class FirmataDecoding : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(FirmataDecoding, GivesTheMessagesAndCountsTheRest) {
  const DecodeCase& c = GetParam();
  // Fed whole and byte by byte: the same answer.
  for (const bool bytewise : {false, true}) {
    Decoder d;
    std::vector<Message> out;
    if (bytewise) {
      for (const uint8_t b : c.bytes) d.feed(std::span(&b, 1), out);
    } else {
      d.feed(c.bytes, out);
    }
    std::string got;
    for (const Message& m : out) got += text_of(m) + " ";
    EXPECT_EQ(got, c.messages) << (bytewise ? "byte by byte" : "whole");
    EXPECT_EQ(d.malformed(), c.malformed) << (bytewise ? "byte by byte" : "whole");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FirmataDecoding,
    ::testing::Values(
        DecodeCase{"StartUp", {0xF9, 2, 5, 0xF0, 0x79, 2, 5, 'S', 0, 'F', 0, 0xF7}, "V2.5 FSF 2.5 ", 0},
        DecodeCase{
            "Analog", {0xE0, 0x7F, 0x07, 0xE3, 0x00, 0x00, 0xE1, 0x7F, 0x7F}, "A0=1023 A3=0 A1=16383 ", 0},
        DecodeCase{
            "Digital", {0x91, 0x20, 0x01, 0x99, 0x3C, 0x05}, "D1=160 D9=188 ", 0},  // the eighth pin alone
        DecodeCase{"MappingAndString",
                   {0xF0, 0x6A, 0x7F, 0x7F, 0, 1, 0xF7, 0xF0, 0x71, 'h', 0, 'i', 0, 0xF7},
                   "M4 Shi ",
                   0},
        DecodeCase{"OtherSysexSkipped", {0xF0, 0x6E, 13, 1, 0, 0xF7, 0xE0, 1, 0}, "?110 A0=1 ", 0},
        DecodeCase{"CutByTheNextCommand", {0xE0, 0x05, 0xE1, 0x02, 0x00}, "A1=2 ", 1},
        DecodeCase{"StrayDataBytesCountOnce", {0x11, 0x22, 0x33, 0xE0, 1, 0, 0x44}, "A0=1 ", 2},
        DecodeCase{"UnknownCommandAndItsData", {0xA5, 1, 2, 0xE2, 3, 0}, "A2=3 ", 1},
        DecodeCase{"SysexCutByACommand", {0xF0, 0x79, 2, 0xE0, 4, 0}, "A0=4 ", 1},
        DecodeCase{"EmptySysexAndLoneEnd", {0xF0, 0xF7, 0xF7, 0xE0, 4, 0}, "A0=4 ", 2},
        DecodeCase{"ShortFirmwareReport", {0xF0, 0x79, 2, 0xF7}, "", 1}, DecodeCase{"Nothing", {}, "", 0}));

TEST(FirmataDecoding, DropsASysexLongerThanTheLimitAndGoesOn) {
  Bytes b{0xF0, 0x71};
  b.insert(b.end(), kLongestSysex + 10, 0x41);
  b.insert(b.end(), {0xF7, 0xE0, 9, 0});
  Decoder d;
  std::vector<Message> out;
  d.feed(b, out);
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(text_of(out[0]), "A0=9");
  EXPECT_EQ(d.malformed(), 1);
}

// (channel, value) in order, and the frames that must come of them for inputs 1, 2 and 4.
TEST(FirmataFrames, TakeOneValueOfEachPinInOrder) {
  FrameAssembler a(InputSet::of({1, 2, 4}));
  const std::pair<int, int> values[] = {
      {1, 50}, {3, 51},                     // before the first whole frame: dropped, not counted
      {0, 1},  {1, 2},  {2, 99}, {3, 4},    // A2 is not reported: ignored
      {0, 5},  {3, 6},                      // A1 missing: broken
      {1, 7},  {0, 8},  {1, 9},  {3, 10},   // out of step until A0: no second count
      {0, 11}, {0, 12}, {1, 13}, {3, 14}};  // A0 twice: the first is broken
  std::vector<Frame> got;
  for (const auto& [ch, v] : values) {
    Frame f;
    if (a.add(ch, v, f)) got.push_back(f);
  }
  EXPECT_EQ(got, (std::vector<Frame>{{{1, 2, 0, 4}}, {{8, 9, 0, 10}}, {{12, 13, 0, 14}}}));
  EXPECT_EQ(a.broken_frames(), 2);
}

constexpr int64_t kMs = 1'000'000;

// A session on a board that answers as StandardFirmata does, on a clock moved by hand.
class Session : public ::testing::Test {
 protected:
  void SetUp() override {
    plan.port = "/dev/ttyX";
    plan.inputs = InputSet::of({1, 3});
    plan.interval_ms = 5;
    p = make_firmata_protocol(plan, 0);
  }
  void board_sends(const Bytes& b, int64_t at) { p->on_bytes(b, at, frames); }
  Bytes sent(int64_t at) {
    p->on_time(at);
    return p->take_outgoing();
  }
  static Bytes uno_mapping() {
    Bytes b{0xF0, 0x6A};
    for (int pin = 0; pin < 20; ++pin) b.push_back(pin < 14 ? 0x7F : static_cast<uint8_t>(pin - 14));
    b.push_back(0xF7);
    return b;
  }
  FirmataPlan plan;
  std::unique_ptr<DeviceProtocol> p;
  std::vector<Frame> frames;
};

TEST_F(Session, AsksForTheVersionEachSecondThenSetsTheBoardUp) {
  EXPECT_EQ(sent(999 * kMs), Bytes{});
  EXPECT_EQ(sent(1000 * kMs), (Bytes{0xF9, 0xF0, 0x79, 0xF7}));
  EXPECT_EQ(sent(1500 * kMs), Bytes{});
  EXPECT_EQ(p->next_deadline_ns(), 2000 * kMs);
  board_sends({0xF9, 2, 5, 0xF0, 0x79, 2, 5, 'S', 0, 0xF7}, 2300 * kMs);
  EXPECT_EQ(p->take_outgoing(), (Bytes{0xF0, 0x69, 0xF7}));
  EXPECT_FALSE(p->ready());
  board_sends(uno_mapping(), 2310 * kMs);
  EXPECT_EQ(p->take_outgoing(), (Bytes{0xF0, 0x7A, 5, 0, 0xF7, 0xF4, 13, 1, 0x91, 0, 0, 0xC0, 1, 0xC2, 1}));
  EXPECT_TRUE(p->ready());
  EXPECT_EQ(p->about(), "S 2.5, Firmata 2.5");
  // The values sent at once on enabling make the first frame; nothing is counted broken.
  board_sends({0xE0, 10, 0, 0xE2, 20, 0, 0xE0, 11, 0, 0xE2, 21, 0}, 2320 * kMs);
  EXPECT_EQ(frames, (std::vector<Frame>{{{10, 0, 20, 0}}, {{11, 0, 21, 0}}}));

  // A pulse: pin 13 (port 1, bit 5) high now, low one interval later; a second pulse while high
  // moves the end.
  EXPECT_TRUE(p->pulse(3000 * kMs));
  EXPECT_EQ(p->take_outgoing(), (Bytes{0x91, 0x20, 0}));
  EXPECT_TRUE(p->pulse(3002 * kMs));
  EXPECT_EQ(sent(3006 * kMs), Bytes{});
  EXPECT_EQ(sent(3007 * kMs), (Bytes{0x91, 0, 0}));
  EXPECT_TRUE(p->pulse(4000 * kMs));
  EXPECT_EQ(p->closing_bytes(), (Bytes{0x91, 0x20, 0, 0x91, 0, 0, 0xC0, 0, 0xC2, 0}));
  EXPECT_EQ(p->failure(), "");
}

TEST_F(Session, GivesUpWithoutAVersionReportIn5s) {
  for (int64_t t = 0; t < 5000 * kMs; t += 250 * kMs) (void)sent(t);
  EXPECT_EQ(p->failure(), "");
  board_sends({0xE0, 1, 0, 0x11}, 4990 * kMs);  // bytes, but no version report
  (void)sent(5000 * kMs);
  EXPECT_EQ(
      p->failure(),
      "No Firmata version report came from /dev/ttyX in 5 s: is StandardFirmata on the board, and is this "
      "its port?");
  EXPECT_FALSE(p->pulse(5001 * kMs));
}

TEST_F(Session, SetsUpUncheckedWhenTheMappingDoesNotCome) {
  board_sends({0xF9, 2, 3}, 100 * kMs);
  EXPECT_EQ(sent(1099 * kMs), (Bytes{0xF0, 0x69, 0xF7}));
  EXPECT_EQ(sent(1100 * kMs).size(), 15u);
  EXPECT_TRUE(p->ready());
  // The board restarts: it is set up again and says so.
  board_sends({0xE0, 1, 0, 0xF9, 2, 3}, 2000 * kMs);
  EXPECT_EQ(p->take_outgoing().size(), 15u);
  DeviceCounts c;
  p->add_counts(c);
  EXPECT_EQ(c.board_restarts, 1);
  EXPECT_NE(p->warning().indexOf("restarted"), -1);
}

TEST_F(Session, RefusesABoardWithoutThePinsOfTheInputs) {
  board_sends({0xF9, 2, 5, 0xF0, 0x6A, 0x7F, 0, 1, 0xF7}, 0);  // analog inputs A0 and A1 only
  EXPECT_EQ(p->failure(), "The Firmata board on /dev/ttyX has no analog input A2 (input 3).");
  plan.stimulus_pin = 16;  // A2 on an Uno
  p = make_firmata_protocol(plan, 0);
  board_sends({0xF9, 2, 5}, 0);
  board_sends(uno_mapping(), 0);
  EXPECT_EQ(
      p->failure(),
      "Pin 16 of the board on /dev/ttyX is analog input A2, which is recorded: choose another stimulus pin.");
}

}  // namespace
