#include "acquisition/firmata_session.h"

#include <algorithm>

#include "acquisition/firmata.h"

namespace quarvel {

namespace {

using firmata::Bytes;

void append(Bytes& to, const Bytes& b) {
  to.insert(to.end(), b.begin(), b.end());
}

class FirmataSession final : public DeviceProtocol {
 public:
  FirmataSession(const FirmataPlan& plan, int64_t opened_ns)
      : plan_(plan),
        frames_(plan.inputs),
        opened_ns_(opened_ns),
        next_query_ns_(opened_ns + kVersionQueryNs) {}

  void on_bytes(std::span<const uint8_t> bytes, int64_t now_ns, std::vector<Frame>& frames) override;
  void on_time(int64_t now_ns) override;
  int64_t next_deadline_ns() const override;
  std::vector<uint8_t> take_outgoing() override { return std::exchange(out_, {}); }
  bool pulse(int64_t now_ns) override;
  std::vector<uint8_t> closing_bytes() override;
  void finish() override {}
  bool ready() const override { return state_ == State::Streaming; }
  QString failure() const override { return failure_; }
  QString about() const override;
  QString warning() const override;
  void add_counts(DeviceCounts& c) const override {
    c.malformed_messages = decoder_.malformed();
    c.broken_frames = frames_.broken_frames();
    c.board_restarts = restarts_;
  }

 private:
  enum class State { WaitingForVersion, WaitingForMapping, Streaming, Failed };

  void on_message(const firmata::Message& m, int64_t now_ns, std::vector<Frame>& frames);
  void check_mapping(const std::vector<uint8_t>& pins);
  void set_up();
  void fail(const QString& why) {
    failure_ = why;
    state_ = State::Failed;
  }
  int stimulus_port() const { return plan_.stimulus_pin / 8; }
  int stimulus_bit() const { return 1 << (plan_.stimulus_pin % 8); }

  FirmataPlan plan_;
  firmata::Decoder decoder_;
  firmata::FrameAssembler frames_;
  std::vector<firmata::Message> messages_;
  State state_ = State::WaitingForVersion;
  int64_t opened_ns_;
  int64_t next_query_ns_;
  int64_t mapping_until_ns_ = 0;
  int64_t pulse_until_ns_ = kNoDeadline;
  int protocol_major_ = -1;
  int protocol_minor_ = 0;
  QString firmware_;
  int64_t restarts_ = 0;
  Bytes out_;
  QString failure_;
};

void FirmataSession::on_bytes(std::span<const uint8_t> bytes, int64_t now_ns, std::vector<Frame>& frames) {
  messages_.clear();
  decoder_.feed(bytes, messages_);
  for (const firmata::Message& m : messages_) {
    if (state_ == State::Failed) return;
    on_message(m, now_ns, frames);
  }
}

void FirmataSession::on_message(const firmata::Message& m, int64_t now_ns, std::vector<Frame>& frames) {
  switch (m.kind) {
    case firmata::Kind::ProtocolVersion:
      protocol_major_ = m.major;
      protocol_minor_ = m.minor;
      if (state_ == State::WaitingForVersion) {
        append(out_, firmata::query_analog_mapping());
        mapping_until_ns_ = now_ns + kMappingWaitNs;
        state_ = State::WaitingForMapping;
      } else if (state_ == State::Streaming) {
        // The board started again (reset, or a new firmware run) and reports nothing until told.
        ++restarts_;
        frames_.restart();
        pulse_until_ns_ = kNoDeadline;
        set_up();
      }
      break;
    case firmata::Kind::Firmware:
      firmware_ = QStringLiteral("%1 %2.%3").arg(m.name).arg(m.major).arg(m.minor);
      break;
    case firmata::Kind::AnalogMapping:
      if (state_ == State::WaitingForMapping) {
        check_mapping(m.data);
        if (state_ != State::Failed) set_up();
      }
      break;
    case firmata::Kind::Analog:
      if (state_ == State::Streaming) {
        Frame f;
        if (frames_.add(m.channel, m.value, f)) frames.push_back(f);
      }
      break;
    default:
      break;
  }
}

void FirmataSession::check_mapping(const std::vector<uint8_t>& pins) {
  for (int input = 1; input <= 4; ++input) {
    if (!plan_.inputs.has(input)) continue;
    if (std::find(pins.begin(), pins.end(), static_cast<uint8_t>(input - 1)) == pins.end()) {
      fail(QStringLiteral("The Firmata board on %1 has no analog input A%2 (input %3).")
               .arg(plan_.port)
               .arg(input - 1)
               .arg(input));
      return;
    }
  }
  const int pin = plan_.stimulus_pin;
  if (pin < 0) return;
  if (static_cast<size_t>(pin) >= pins.size()) {
    fail(QStringLiteral("The Firmata board on %1 has no pin %2 for the stimulus output.")
             .arg(plan_.port)
             .arg(pin));
    return;
  }
  const int channel = pins[static_cast<size_t>(pin)];
  if (channel != firmata::kNoAnalogChannel && plan_.inputs.has(channel + 1))
    fail(QStringLiteral("Pin %1 of the board on %2 is analog input A%3, which is recorded: choose another "
                        "stimulus pin.")
             .arg(pin)
             .arg(plan_.port)
             .arg(channel));
}

void FirmataSession::set_up() {
  append(out_, firmata::sampling_interval(plan_.interval_ms));
  if (plan_.stimulus_pin >= 0) {
    append(out_, firmata::set_pin_mode(plan_.stimulus_pin, firmata::kPinModeOutput));
    append(out_, firmata::digital_port(stimulus_port(), 0));
  }
  for (int input = 1; input <= 4; ++input)
    if (plan_.inputs.has(input)) append(out_, firmata::report_analog(input - 1, true));
  state_ = State::Streaming;
}

void FirmataSession::on_time(int64_t now_ns) {
  switch (state_) {
    case State::WaitingForVersion:
      if (now_ns - opened_ns_ >= kVersionWaitNs) {
        fail(QStringLiteral("No Firmata version report came from %1 in 5 s: is StandardFirmata on the "
                            "board, and is this its port?")
                 .arg(plan_.port));
      } else if (now_ns >= next_query_ns_) {
        append(out_, firmata::query_version());
        append(out_, firmata::query_firmware());
        while (next_query_ns_ <= now_ns) next_query_ns_ += kVersionQueryNs;
      }
      break;
    case State::WaitingForMapping:
      if (now_ns >= mapping_until_ns_) set_up();  // unchecked: the board does not answer the query
      break;
    case State::Streaming:
      if (now_ns >= pulse_until_ns_) {
        append(out_, firmata::digital_port(stimulus_port(), 0));
        pulse_until_ns_ = kNoDeadline;
      }
      break;
    case State::Failed:
      break;
  }
}

int64_t FirmataSession::next_deadline_ns() const {
  switch (state_) {
    case State::WaitingForVersion:
      return std::min(next_query_ns_, opened_ns_ + kVersionWaitNs);
    case State::WaitingForMapping:
      return mapping_until_ns_;
    case State::Streaming:
      return pulse_until_ns_;
    case State::Failed:
      break;
  }
  return kNoDeadline;
}

bool FirmataSession::pulse(int64_t now_ns) {
  if (state_ != State::Streaming || plan_.stimulus_pin < 0) return false;
  // A pulse during a pulse keeps the pin high for one interval from the later one.
  if (pulse_until_ns_ == kNoDeadline) append(out_, firmata::digital_port(stimulus_port(), stimulus_bit()));
  pulse_until_ns_ = now_ns + int64_t{plan_.interval_ms} * 1'000'000;
  return true;
}

std::vector<uint8_t> FirmataSession::closing_bytes() {
  Bytes b = take_outgoing();
  if (state_ != State::Streaming) return b;
  if (pulse_until_ns_ != kNoDeadline) append(b, firmata::digital_port(stimulus_port(), 0));
  pulse_until_ns_ = kNoDeadline;
  for (int input = 1; input <= 4; ++input)
    if (plan_.inputs.has(input)) append(b, firmata::report_analog(input - 1, false));
  return b;
}

QString FirmataSession::about() const {
  if (protocol_major_ < 0) return {};
  const QString protocol = QStringLiteral("Firmata %1.%2").arg(protocol_major_).arg(protocol_minor_);
  return firmware_.isEmpty() ? protocol : firmware_ + QStringLiteral(", ") + protocol;
}

QString FirmataSession::warning() const {
  if (restarts_ == 0) return {};
  return QStringLiteral(
             "The board on %1 restarted during the recording (%2 times) and was set up again: "
             "the frames before and after each restart do not join in time.")
      .arg(plan_.port)
      .arg(restarts_);
}

}  // namespace

QString stimulus_pin_refusal(int pin) {
  if (pin == -1 || (pin >= 2 && pin <= 127)) return {};
  return QStringLiteral(
      "The stimulus pin must be a digital pin from 2 to 127 (pins 0 and 1 carry the serial "
      "link).");
}

std::unique_ptr<DeviceProtocol> make_firmata_protocol(const FirmataPlan& plan, int64_t opened_ns) {
  return std::make_unique<FirmataSession>(plan, opened_ns);
}

}  // namespace quarvel
