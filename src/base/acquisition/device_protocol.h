// What a device reader needs of the protocol a serial source speaks: the bytes that arrive become
// frames, time passing may call for bytes to send (queries, the end of a stimulus pulse) or end the
// stream, and what went wrong is counted. No I/O here: times come in as arguments, so the protocols
// are tested without a port or a clock.
#pragma once

#include <QString>
#include <cstdint>
#include <limits>
#include <memory>
#include <span>
#include <vector>

#include "acquisition/device_frame.h"
#include "acquisition/serial_lines.h"
#include "acquisition/serial_link.h"

namespace quarvel {

// Everything a device's stream lost, changed or met, for the status line.
struct DeviceCounts {
  int64_t bytes = 0;   // read from the port
  int64_t frames = 0;  // made and put in the buffer
  LineCounts lines;
  int64_t malformed_messages = 0;  // Firmata messages that could not be decoded
  int64_t broken_frames = 0;       // Firmata frames missing a channel's value
  int64_t board_restarts = 0;      // Firmata version reports after the set-up
  int64_t overruns = 0;            // frames lost to a full buffer
};

// The faults among the counts as a short text ("2 garbled lines, 1 line over 1 KB"); empty when
// there are none.
QString fault_summary(const DeviceCounts& c);

constexpr int64_t kNoDeadline = std::numeric_limits<int64_t>::max();

class DeviceProtocol {
 public:
  virtual ~DeviceProtocol() = default;
  // Bytes read at now_ns; the frames they complete are appended in order.
  virtual void on_bytes(std::span<const uint8_t> bytes, int64_t now_ns, std::vector<Frame>& frames) = 0;
  // Called at next_deadline_ns() or later, and whenever the reader wakes.
  virtual void on_time(int64_t now_ns) = 0;
  virtual int64_t next_deadline_ns() const = 0;
  // Bytes to send now, in order; empty most of the time.
  virtual std::vector<uint8_t> take_outgoing() = 0;
  // Starts a stimulus pulse at now_ns; false when this source has no output or is not set up yet.
  virtual bool pulse(int64_t now_ns) = 0;
  // The bytes that leave the device as the program found it, sent before the port closes.
  virtual std::vector<uint8_t> closing_bytes() = 0;
  // The stream has ended; what it left unfinished is counted.
  virtual void finish() = 0;
  // Frames may come from now on: silence counts from here.
  virtual bool ready() const = 0;
  // Why the stream cannot go on; empty while it can.
  virtual QString failure() const = 0;
  // What the device said about itself (a firmware's name and version); empty when nothing.
  virtual QString about() const = 0;
  // A condition the user should know of while the stream goes on; empty when none.
  virtual QString warning() const = 0;
  virtual void add_counts(DeviceCounts& c) const = 0;
};

// Serial Plotter lines: every good line is a frame; nothing is ever sent.
std::unique_ptr<DeviceProtocol> make_lines_protocol(InputSet inputs);

}  // namespace quarvel
