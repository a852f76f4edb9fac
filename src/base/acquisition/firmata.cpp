#include "acquisition/firmata.h"

#include <algorithm>
#include <cassert>

namespace quarvel::firmata {

namespace {

uint8_t lsb(int v) {
  return static_cast<uint8_t>(v & 0x7F);
}
uint8_t msb(int v) {
  return static_cast<uint8_t>((v >> 7) & 0x7F);
}

// Text sent as one LSB/MSB pair per character; a lone last byte carries no character.
QString text_of_pairs(std::span<const uint8_t> d) {
  QString s;
  for (size_t i = 0; i + 1 < d.size(); i += 2) s.append(QChar(static_cast<char16_t>(d[i] | (d[i + 1] << 7))));
  return s;
}

// Data bytes that follow each command byte; -1 for a sysex, -2 for a byte no Firmata message
// starts with.
int data_bytes_of(uint8_t command) {
  if (command == kStartSysex) return -1;
  switch (command & 0xF0) {
    case kDigitalMessage:
    case kAnalogMessage:
      return 2;
    case kReportAnalog:
    case kReportDigital:
      return 1;
    default:
      break;
  }
  switch (command) {
    case kSetPinMode:
    case kSetDigitalPin:
    case kProtocolVersion:
      return 2;
    case kSystemReset:
      return 0;
    default:
      return -2;
  }
}

}  // namespace

Bytes query_version() {
  return {kProtocolVersion};
}

Bytes query_firmware() {
  return {kStartSysex, kReportFirmware, kEndSysex};
}

Bytes query_analog_mapping() {
  return {kStartSysex, kAnalogMappingQuery, kEndSysex};
}

Bytes sampling_interval(int ms) {
  assert(ms >= 1 && ms <= kLongestInterval);
  return {kStartSysex, kSamplingInterval, lsb(ms), msb(ms), kEndSysex};
}

Bytes report_analog(int channel, bool on) {
  assert(channel >= 0 && channel <= 15);
  return {static_cast<uint8_t>(kReportAnalog | channel), static_cast<uint8_t>(on ? 1 : 0)};
}

Bytes set_pin_mode(int pin, uint8_t mode) {
  assert(pin >= 0 && pin <= 127);
  return {kSetPinMode, static_cast<uint8_t>(pin), mode};
}

Bytes digital_port(int port, int pin_bits) {
  assert(port >= 0 && port <= 15);
  return {static_cast<uint8_t>(kDigitalMessage | port), lsb(pin_bits),
          static_cast<uint8_t>((pin_bits >> 7) & 1)};
}

void Decoder::spoil() {
  ++malformed_;
  skipping_ = true;
  command_ = 0;
  in_sysex_ = false;
  data_.clear();
}

void Decoder::start(uint8_t command) {
  data_.clear();
  const int n = data_bytes_of(command);
  if (n == -2) {
    spoil();
    return;
  }
  command_ = command;
  in_sysex_ = n == -1;
  needed_ = std::max(n, 0);
}

void Decoder::complete(std::vector<Message>& out) {
  Message m;
  const int d0 = data_.size() > 0 ? data_[0] : 0;
  const int d1 = data_.size() > 1 ? data_[1] : 0;
  switch (command_ & 0xF0) {
    case kDigitalMessage:
      m.kind = Kind::Digital;
      m.channel = command_ & 0x0F;
      m.value = d0 | ((d1 & 1) << 7);  // the second byte carries the port's eighth pin alone
      break;
    case kAnalogMessage:
      m.kind = Kind::Analog;
      m.channel = command_ & 0x0F;
      m.value = d0 | (d1 << 7);
      break;
    default:
      if (command_ == kProtocolVersion) {
        m.kind = Kind::ProtocolVersion;
        m.major = d0;
        m.minor = d1;
      } else {
        m.kind = Kind::Other;
        m.channel = command_;
      }
  }
  ++messages_;
  out.push_back(std::move(m));
  command_ = 0;
}

void Decoder::complete_sysex(std::vector<Message>& out) {
  in_sysex_ = false;
  command_ = 0;
  if (data_.empty()) {
    spoil();
    skipping_ = false;  // the end byte was this message's
    return;
  }
  Message m;
  const std::span<const uint8_t> body(data_.data() + 1, data_.size() - 1);
  switch (data_[0]) {
    case kReportFirmware:
      if (body.size() < 2) {
        spoil();
        skipping_ = false;
        return;
      }
      m.kind = Kind::Firmware;
      m.major = body[0];
      m.minor = body[1];
      m.name = text_of_pairs(body.subspan(2));
      break;
    case kAnalogMappingResponse:
      m.kind = Kind::AnalogMapping;
      m.data.assign(body.begin(), body.end());
      break;
    case kCapabilityResponse:
      m.kind = Kind::Capability;
      m.data.assign(body.begin(), body.end());
      break;
    case kStringData:
      m.kind = Kind::String;
      m.name = text_of_pairs(body);
      break;
    default:
      m.kind = Kind::OtherSysex;
      m.channel = data_[0];
  }
  ++messages_;
  out.push_back(std::move(m));
  data_.clear();
}

void Decoder::feed(std::span<const uint8_t> bytes, std::vector<Message>& out) {
  for (const uint8_t b : bytes) {
    if (b < 0x80) {
      if (in_sysex_) {
        if (data_.size() < static_cast<size_t>(kLongestSysex)) {
          data_.push_back(b);
        } else {
          spoil();  // the rest of it, up to its end byte, is skipped
        }
      } else if (command_ != 0) {
        data_.push_back(b);
        if (--needed_ == 0) complete(out);
      } else if (!skipping_) {
        ++malformed_;  // data bytes outside any message
        skipping_ = true;
      }
      continue;
    }
    // A command byte ends whatever came before it.
    if (b == kEndSysex) {
      if (in_sysex_) {
        complete_sysex(out);
      } else if (skipping_) {
        skipping_ = false;  // the end of a sysex already counted
      } else {
        spoil();
        skipping_ = false;
      }
      continue;
    }
    if (in_sysex_ || command_ != 0) ++malformed_;  // cut off before its end
    skipping_ = false;
    in_sysex_ = false;
    command_ = 0;
    start(b);
    if (command_ != 0 && !in_sysex_ && needed_ == 0) complete(out);
  }
}

FrameAssembler::FrameAssembler(InputSet inputs) {
  for (int input = 1; input <= 4; ++input)
    if (inputs.has(input)) order_.push_back(input - 1);
}

void FrameAssembler::restart() {
  next_ = 0;
  partial_ = Frame{};
  whole_seen_ = false;
  broken_run_ = false;
}

bool FrameAssembler::add(int channel, int value, Frame& frame) {
  const auto at = std::find(order_.begin(), order_.end(), channel);
  if (at == order_.end()) return false;
  const size_t p = static_cast<size_t>(at - order_.begin());
  if (p != next_) {
    // A frame cut short, or one that began with the wrong channel: counted once, until a frame
    // starts again.
    if (whole_seen_ && !broken_run_) ++broken_;
    next_ = 0;
    broken_run_ = p != 0;
    if (p != 0) return false;
  }
  broken_run_ = false;
  partial_.value[static_cast<size_t>(channel)] = static_cast<int16_t>(value);
  if (++next_ < order_.size()) return false;
  frame = partial_;
  next_ = 0;
  whole_seen_ = true;
  return true;
}

}  // namespace quarvel::firmata
