#include "acquisition/device_protocol.h"

#include <QStringList>

namespace quarvel {

namespace {

void add(QStringList& parts, int64_t n, const char* one, const char* many) {
  if (n == 1) parts << QString::fromLatin1(one);
  if (n > 1) parts << QString::fromLatin1(many).arg(n);
}

class LinesProtocol final : public DeviceProtocol {
 public:
  explicit LinesProtocol(InputSet inputs) : reader_(inputs) {}
  void on_bytes(std::span<const uint8_t> bytes, int64_t, std::vector<Frame>& frames) override {
    reader_.feed(bytes, frames);
  }
  void on_time(int64_t) override {}
  int64_t next_deadline_ns() const override { return kNoDeadline; }
  std::vector<uint8_t> take_outgoing() override { return {}; }
  bool pulse(int64_t) override { return false; }
  std::vector<uint8_t> closing_bytes() override { return {}; }
  void finish() override { reader_.finish(); }
  bool ready() const override { return true; }
  QString failure() const override { return {}; }
  QString about() const override { return {}; }
  QString warning() const override { return {}; }
  void add_counts(DeviceCounts& c) const override { c.lines = reader_.counts(); }

 private:
  PlotterLineReader reader_;
};

}  // namespace

QString fault_summary(const DeviceCounts& c) {
  QStringList parts;
  add(parts, c.lines.garbled, "1 garbled line", "%1 garbled lines");
  add(parts, c.lines.too_long, "1 line over 1 KB", "%1 lines over 1 KB");
  add(parts, c.lines.too_few, "1 line short of values", "%1 lines short of values");
  add(parts, c.lines.clamped_values, "1 value clamped to the int16 range",
      "%1 values clamped to the int16 range");
  add(parts, c.lines.cut_short, "the last line cut short", "%1 lines cut short");
  add(parts, c.malformed_messages, "1 malformed Firmata message", "%1 malformed Firmata messages");
  add(parts, c.broken_frames, "1 frame missing a pin's value", "%1 frames missing a pin's value");
  add(parts, c.board_restarts, "the board restarted once", "the board restarted %1 times");
  add(parts, c.overruns, "1 frame lost to a full buffer", "%1 frames lost to a full buffer");
  return parts.join(QStringLiteral(", "));
}

std::unique_ptr<DeviceProtocol> make_lines_protocol(InputSet inputs) {
  return std::make_unique<LinesProtocol>(inputs);
}

}  // namespace quarvel
