// Guards the device reader end to end through a pseudo-terminal with a board played on the other
// end: frames are exactly what the board sent, in order, also while the consumer is busy for
// seconds; a Firmata board is set up, pulsed and told to stop; unplugging ends the stream with
// every frame received; bad input is counted; silence and a board that never reports time out;
// and a port that is missing, busy or no serial port gives its message.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <thread>

#include "acquisition/serial_device.h"
#include "acquisition/serial_port.h"
#include "support/pty_board.h"

using namespace quarvel;
using namespace quarvel::testing;
using namespace std::chrono_literals;

namespace {

DeviceSettings settings_for(const PtyBoard& b, DeviceKind kind, InputSet inputs, float rate) {
  DeviceSettings s;
  s.kind = kind;
  s.port = QString::fromStdString(b.path());
  s.baud = kind == DeviceKind::Firmata ? kDefaultFirmataBaud : 1000000;
  s.inputs = inputs;
  s.rate_hz = rate;
  return s;
}

// Takes frames as the loop would until the stream ends or `frames` have come, or the time is up.
bool take_until(SerialDevice& d, std::vector<Frame>& got, size_t frames, std::chrono::milliseconds limit) {
  const auto until = std::chrono::steady_clock::now() + limit;
  bool more = true;
  while (more && got.size() < frames && std::chrono::steady_clock::now() < until) {
    more = d.take_frames(got);
    std::this_thread::sleep_for(5ms);
  }
  return more;
}

std::vector<std::string> lines_of(int n, std::vector<Frame>& frames) {
  std::vector<std::string> lines;
  for (int k = 0; k < n; ++k) {
    const Frame f{{static_cast<int16_t>(k % 1024), static_cast<int16_t>(-k),
                   static_cast<int16_t>(k * 7 % 32768), static_cast<int16_t>(1023 - k % 1024)}};
    frames.push_back(f);
    lines.push_back(std::to_string(f.value[0]) + " " + std::to_string(f.value[1]) + "," +
                    std::to_string(f.value[2]) + "\t" + std::to_string(f.value[3]) + (k % 2 ? "\n" : "\r\n"));
  }
  return lines;
}

// 1 kHz x 4 inputs for 3 s, with the consumer away for 2 s of it: every frame, in order.
TEST(SerialDevice, LinesArriveFrameForFrameWhileTheConsumerIsBusy) {
  PtyBoard board;
  DeviceStart s =
      SerialDevice::start(settings_for(board, DeviceKind::SerialLines, InputSet::of({1, 2, 3, 4}), 1000));
  ASSERT_TRUE(s.device) << s.error.toStdString();
  std::vector<Frame> sent;
  board.play_lines(lines_of(3000, sent), 1000, "23 4\n");  // a line cut by the open, first
  std::this_thread::sleep_for(500ms);
  std::vector<Frame> got;
  s.device->take_frames(got);
  std::this_thread::sleep_for(2000ms);
  board.wait();
  take_until(*s.device, got, sent.size(), 2000ms);
  EXPECT_EQ(got, sent);
  const DeviceStatus st = s.device->status();
  EXPECT_EQ(st.counts.frames, 3000);
  EXPECT_EQ(fault_summary(st.counts), "");
  EXPECT_NEAR(st.arriving_hz, 1000, 50);
  s.device->stop();
  EXPECT_FALSE(s.device->take_frames(got));
  EXPECT_EQ(s.device->status().state, DeviceState::Ended);
  EXPECT_EQ(s.device->status().end_reason, "");
}

TEST(SerialDevice, UnpluggedMidStreamKeepsEveryFrameReceived) {
  PtyBoard board;
  DeviceStart s = SerialDevice::start(settings_for(board, DeviceKind::SerialLines, InputSet::of({2}), 500));
  ASSERT_TRUE(s.device);
  std::vector<Frame> sent;
  board.play_lines(lines_of(2000, sent), 500, "\n", 700);
  std::vector<Frame> got;
  EXPECT_FALSE(take_until(*s.device, got, 2000, 4000ms)) << "the stream did not end";
  // Bytes still in the pty when it hung up are lost with the cable; what came is exact.
  ASSERT_GE(got.size(), 600u);
  ASSERT_LE(got.size(), 700u);
  for (size_t k = 0; k < got.size(); ++k) ASSERT_EQ(got[k].input(2), sent[k].input(2)) << k;
  const DeviceStatus st = s.device->status();
  EXPECT_EQ(st.state, DeviceState::Ended);
  EXPECT_EQ(st.end_reason.toStdString(),
            board.path() + " hung up (unplugged, or the board was reset) after " +
                std::to_string(got.size()) + " frames: every frame received is kept.");
}

TEST(SerialDevice, CountsEachKindOfBadLineThenTellsOfSilence) {
  PtyBoard board;
  DeviceStart s =
      SerialDevice::start(settings_for(board, DeviceKind::SerialLines, InputSet::of({1, 3}), 100));
  ASSERT_TRUE(s.device);
  board.play_lines({"1 2 3\n", "x y z\n", std::string(1500, '9') + "\n", "4 5\n", "\x01\xfe\xff\n",
                    "1e9 0 -7.5\n", "6 7 8"},
                   100, "noise\n");
  board.wait();
  std::vector<Frame> got;
  take_until(*s.device, got, 2, 1000ms);
  std::this_thread::sleep_for(100ms);
  s.device->take_frames(got);
  EXPECT_EQ(got, (std::vector<Frame>{{{1, 0, 3, 0}}, {{32767, 0, -8, 0}}}));
  EXPECT_EQ(fault_summary(s.device->status().counts),
            "2 garbled lines, 1 line over 1 KB, 1 line short of values, 1 value clamped to the int16 range");
  // Then nothing more: the silence is told, and the stream goes on.
  std::this_thread::sleep_for(2300ms);
  const DeviceStatus st = s.device->status();
  EXPECT_EQ(st.state, DeviceState::Running);
  EXPECT_EQ(st.warnings.toStdString(), "Nothing has come from " + board.path() +
                                           " for 2 s: is the sketch running, and sending at 1000000 baud?");
}

// The board speaks first after its boot, is set up as asked, and its frames come exactly; a pulse
// sets pin 13 high for one interval; STOP switches reporting off.
TEST(SerialDevice, FirmataBoardIsSetUpPulsedAndStopped) {
  PtyBoard board;
  FirmataBoardPlay play;
  play.boot_ms = 300;
  // A frame begun and cut (A0, then A2 cut by the next pass), and stray data bytes.
  play.inject_after = {{20, {0xE0, 0x05, 0x00, 0xE2, 0x07}}, {40, {0x33, 0x34}}};
  board.play_firmata(play);
  DeviceStart s = SerialDevice::start(settings_for(board, DeviceKind::Firmata, InputSet::of({1, 3}), 200));
  ASSERT_TRUE(s.device) << s.error.toStdString();
  std::vector<Frame> got;
  take_until(*s.device, got, 100, 3000ms);
  EXPECT_EQ(board.interval_ms(), 5);
  EXPECT_EQ(board.reported_channels(), 0b101);
  EXPECT_EQ(s.device->status().about, "StandardFirmata.ino 2.5, Firmata 2.5");
  const auto pulsed = std::chrono::steady_clock::now();
  EXPECT_TRUE(s.device->pulse_stimulus());
  std::this_thread::sleep_for(100ms);
  s.device->stop();
  s.device->take_frames(got);
  const std::vector<Frame> sent = board.frames_sent();
  ASSERT_LE(got.size(), sent.size());
  EXPECT_EQ(got, std::vector<Frame>(sent.begin(), sent.begin() + static_cast<std::ptrdiff_t>(got.size())));
  const DeviceCounts c = s.device->status().counts;
  EXPECT_EQ(c.malformed_messages, 2);
  EXPECT_EQ(c.broken_frames, 1);
  std::this_thread::sleep_for(50ms);
  EXPECT_EQ(board.reported_channels(), 0);
  const std::vector<DigitalWrite> w = board.digital_writes();
  ASSERT_EQ(w.size(), 3u);  // low at the set-up, high, low
  EXPECT_EQ(w[1].port, 1);
  EXPECT_EQ(w[1].levels, 1 << 5);
  EXPECT_EQ(w[2].levels, 0);
  const auto high_ms = std::chrono::duration_cast<std::chrono::milliseconds>(w[2].at - w[1].at).count();
  EXPECT_GE(high_ms, 4);
  EXPECT_LE(high_ms, 30);
  EXPECT_LE(std::chrono::duration_cast<std::chrono::milliseconds>(w[1].at - pulsed).count(), 20);
}

TEST(SerialDevice, FirmataBoardThatNeverReportsTimesOut) {
  PtyBoard board;
  FirmataBoardPlay play;
  play.answers = false;
  board.play_firmata(play);
  DeviceStart s = SerialDevice::start(settings_for(board, DeviceKind::Firmata, InputSet::of({1}), 100));
  ASSERT_TRUE(s.device);
  std::vector<Frame> got;
  EXPECT_FALSE(take_until(*s.device, got, 1, 6000ms));
  EXPECT_EQ(s.device->status().end_reason.toStdString(),
            "No Firmata version report came from " + board.path() +
                " in 5 s: is StandardFirmata on the board, and is this its port?");
  const Bytes asked = board.host_bytes();
  EXPECT_EQ(std::count(asked.begin(), asked.end(), 0xF9), 4);  // at 1, 2, 3 and 4 s
}

TEST(SerialDevice, PortsThatCannotBeOpenedSayWhy) {
  PtyBoard board;
  const DeviceSettings s = settings_for(board, DeviceKind::SerialLines, InputSet::of({1}), 10);
  DeviceStart first = SerialDevice::start(s);
  ASSERT_TRUE(first.device);
  EXPECT_EQ(
      SerialDevice::start(s).error.toStdString(),
      board.path() +
          " is busy: another program (a serial monitor, the Arduino IDE, another Quarvel) has it open. Close "
          "it and try again.");
  DeviceSettings other = s;
  other.port = "/dev/no-such-tty";
  EXPECT_EQ(SerialDevice::start(other).error,
            "There is no serial port /dev/no-such-tty: is the board plugged in, and is this its port?");
  other.port = "/dev/null";
  EXPECT_EQ(SerialDevice::start(other).error, "/dev/null is not a serial port.");
  EXPECT_EQ(open_error_text("/dev/ttyACM0", EACCES, "dialout"),
            "/dev/ttyACM0 may not be opened: permission denied. Join the group dialout (sudo adduser $USER "
            "dialout), then log out and in again.");
  other.kind = DeviceKind::Firmata;
  other.rate_hz = 300;
  EXPECT_NE(SerialDevice::start(other).error.indexOf("whole millisecond"), -1);
}

}  // namespace
