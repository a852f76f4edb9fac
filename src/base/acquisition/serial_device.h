// A serial device recorded from: the port is read and parsed on a thread of its own into a frame
// buffer, so nothing the window does (a modal dialog, a long repaint) loses a frame; the
// acquisition loop takes every buffered frame in order at each tick.
//
//   DeviceStart s = SerialDevice::start(settings);
//   if (!s.device) show(s.error);
//   ... each tick:   more = s.device->take_frames(frames);  status = s.device->status();
//   ... at STOP:     s.device->stop();   (then take_frames once more for what came before)
//
// A device that hangs up or fails to read ends the stream: take_frames still delivers every frame
// received before, then returns false, and the status says why it ended.
#pragma once

#include <QString>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "acquisition/device_frame.h"
#include "acquisition/device_protocol.h"
#include "acquisition/frame_fifo.h"
#include "acquisition/rate_meter.h"
#include "acquisition/serial_link.h"

namespace quarvel {

constexpr int64_t kSilenceNs = 2'000'000'000;

struct DeviceSettings {
  DeviceKind kind = DeviceKind::SerialLines;
  QString port;  // a device path: /dev/ttyACM0, /dev/pts/3
  int32_t baud = kDefaultLinesBaud;
  InputSet inputs;        // at least one
  float rate_hz = 10;     // declared in the header; a Firmata board's sampling interval
  int stimulus_pin = 13;  // Firmata: set high by pulse_stimulus(); -1 for none
};

// Empty when the settings can be recorded from (baud, inputs, a whole-ms Firmata interval, the
// stimulus pin and the link's capacity), else the first reason why not.
QString settings_refusal(const DeviceSettings& s);

enum class DeviceState {
  Starting,  // open; a Firmata board has not been set up yet
  Running,   // frames may come
  Ended,     // stopped, hung up, failed: no frame comes any more
};

struct DeviceStatus {
  DeviceState state = DeviceState::Starting;
  DeviceCounts counts;
  double arriving_hz = 0;  // measured frames a second, 0 until measured
  QString about;           // what the firmware said of itself
  QString warnings;        // conditions that do not end the stream (silence, rate off, restarts)
  QString end_reason;      // when it ended other than by stop(): why
};

class SerialDevice;

struct DeviceStart {
  std::unique_ptr<SerialDevice> device;  // null when it could not start
  QString error;                         // then why, naming the port
};

class SerialDevice {
 public:
  // Checks the settings, opens the port and starts reading it.
  static DeviceStart start(const DeviceSettings& settings);
  ~SerialDevice();
  SerialDevice(const SerialDevice&) = delete;
  SerialDevice& operator=(const SerialDevice&) = delete;

  // Appends every frame that arrived since the last call, in order. False once the stream has
  // ended and this call delivered its last frames.
  bool take_frames(std::vector<Frame>& out);
  DeviceStatus status() const;
  // Firmata: sets the stimulus pin high for one sampling interval from now; false when the
  // source has no output or the board is not set up.
  bool pulse_stimulus();
  // Ends the stream (a Firmata board stops reporting) and closes the port; waits for the reader.
  // Frames that came before stay to be taken. Any number of calls.
  void stop();

 private:
  SerialDevice(const DeviceSettings& s, int fd, int64_t opened_ns);
  void run();
  bool read_available(int64_t now_ns);  // false when the stream ended
  bool write_pending();                 // false when the port failed
  void close_port();
  void publish(int64_t now_ns);
  void end(const QString& reason);

  DeviceSettings settings_;
  int fd_;
  int wake_[2] = {-1, -1};  // a pipe that wakes the reader for stop and pulse requests
  std::unique_ptr<DeviceProtocol> protocol_;
  FrameFifo fifo_;
  RateMeter rate_;
  std::thread reader_;
  std::atomic<bool> stop_requested_{false};
  std::atomic<int> pulses_requested_{0};
  std::atomic<bool> ended_{false};

  // The reader's own state.
  std::vector<uint8_t> pending_out_;
  std::vector<Frame> batch_;
  int64_t bytes_ = 0;
  int64_t frames_ = 0;
  int64_t rated_frames_ = 0;
  int64_t last_byte_ns_ = 0;
  int64_t last_frame_ns_ = 0;
  int64_t ready_ns_ = -1;

  mutable std::mutex status_mutex_;
  DeviceStatus status_;
};

}  // namespace quarvel
