// The Firmata protocol (2.x) as a StandardFirmata board speaks it: the messages the program sends,
// a decoder for what the board sends, and the assembly of its analog values into frames. Commands
// are bytes with the high bit set, followed by 7-bit data bytes; values of more than 7 bits travel
// as an LSB then an MSB byte; sysex messages run from 0xF0 to 0xF7.
#pragma once

#include <QString>
#include <cstdint>
#include <span>
#include <vector>

#include "acquisition/device_frame.h"

namespace quarvel {

namespace firmata {

constexpr uint8_t kDigitalMessage = 0x90;   // | port: pins port*8 .. port*8+7, LSB MSB
constexpr uint8_t kAnalogMessage = 0xE0;    // | channel: 14-bit value, LSB MSB
constexpr uint8_t kReportAnalog = 0xC0;     // | channel: 1 on, 0 off
constexpr uint8_t kReportDigital = 0xD0;    // | port: 1 on, 0 off
constexpr uint8_t kSetPinMode = 0xF4;       // pin, mode
constexpr uint8_t kSetDigitalPin = 0xF5;    // pin, value
constexpr uint8_t kProtocolVersion = 0xF9;  // major, minor (alone: the query)
constexpr uint8_t kSystemReset = 0xFF;
constexpr uint8_t kStartSysex = 0xF0;
constexpr uint8_t kEndSysex = 0xF7;
// Sysex commands.
constexpr uint8_t kAnalogMappingQuery = 0x69;
constexpr uint8_t kAnalogMappingResponse = 0x6A;
constexpr uint8_t kCapabilityQuery = 0x6B;
constexpr uint8_t kCapabilityResponse = 0x6C;
constexpr uint8_t kStringData = 0x71;
constexpr uint8_t kReportFirmware = 0x79;
constexpr uint8_t kSamplingInterval = 0x7A;
constexpr uint8_t kPinModeOutput = 0x01;
constexpr uint8_t kNoAnalogChannel = 0x7F;  // in an analog mapping: the pin has no analog input
// Longest sysex message kept; the capability reply of a board with many pins is under 1 KB.
constexpr int kLongestSysex = 4096;
constexpr int kLongestInterval = 0x3FFF;  // ms, the largest 14-bit value

using Bytes = std::vector<uint8_t>;

Bytes query_version();                       // F9
Bytes query_firmware();                      // F0 79 F7
Bytes query_analog_mapping();                // F0 69 F7
Bytes sampling_interval(int ms);             // F0 7A lsb msb F7; ms within 1..kLongestInterval
Bytes report_analog(int channel, bool on);   // C0|channel 0/1; channel 0..15
Bytes set_pin_mode(int pin, uint8_t mode);   // F4 pin mode; pin 0..127
Bytes digital_port(int port, int pin_bits);  // 90|port lsb msb: the eight pins' levels; port 0..15

// One message from the board.
enum class Kind {
  ProtocolVersion,  // major, minor
  Firmware,         // major, minor, name
  Analog,           // channel, value (0..16383)
  Digital,          // channel = port, value = the eight pins' levels
  AnalogMapping,    // data: per pin its analog channel, or kNoAnalogChannel
  Capability,       // data: the reply's bytes as sent
  String,           // name: the text
  OtherSysex,       // channel = the sysex command
  Other,            // a message a board does not normally send (channel = its command byte)
};

struct Message {
  Kind kind = Kind::Other;
  int channel = 0;
  int value = 0;
  int major = 0;
  int minor = 0;
  QString name;
  std::vector<uint8_t> data;
};

// Turns the board's byte stream into messages. A message cut off by the next command byte, data
// bytes outside any message, an unknown command byte, a sysex too long or too short for its
// command: each is one malformed message, counted and skipped, and decoding goes on at the next
// command byte.
class Decoder {
 public:
  void feed(std::span<const uint8_t> bytes, std::vector<Message>& out);
  int64_t malformed() const { return malformed_; }
  int64_t messages() const { return messages_; }

 private:
  void start(uint8_t command);
  void complete(std::vector<Message>& out);
  void complete_sysex(std::vector<Message>& out);
  void spoil();

  uint8_t command_ = 0;  // of the message in progress; 0 between messages
  int needed_ = 0;       // data bytes still to come (not used in a sysex)
  bool in_sysex_ = false;
  bool skipping_ = false;  // inside bytes already counted as malformed
  std::vector<uint8_t> data_;
  int64_t malformed_ = 0;
  int64_t messages_ = 0;
};

// Frames from the analog messages of the channels reported: one value of each, in ascending
// channel order, as StandardFirmata sends them at each sampling interval. A run broken by a
// missing or repeated channel is dropped and counted; the values before the first whole frame
// (enabling a channel sends its value at once) are dropped without counting.
class FrameAssembler {
 public:
  // Channel c (A0 = 0) feeds input c + 1.
  explicit FrameAssembler(InputSet inputs);
  // A value of an analog channel; true when it completed a frame, which is then in `frame`.
  bool add(int channel, int value, Frame& frame);
  // Starts again from the next first channel, without counting the partial frame (a board restart).
  void restart();
  int64_t broken_frames() const { return broken_; }

 private:
  std::vector<int> order_;  // the channels of a frame
  size_t next_ = 0;
  Frame partial_;
  bool whole_seen_ = false;
  bool broken_run_ = false;  // waiting for a frame's first channel after a break
  int64_t broken_ = 0;
};

}  // namespace firmata

}  // namespace quarvel
