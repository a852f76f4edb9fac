// A board on a pseudo-terminal pair, played by a thread of the test: the program opens path() as
// it would a USB serial port, and the thread writes what a board would on the other end, at a given
// pace. Two boards: a sketch that prints Serial Plotter lines, and a StandardFirmata board that
// answers the protocol's queries as its documents describe (version report, firmware name, analog
// mapping of an Uno, sampling interval, analog reporting, digital writes kept to be read back).
// Unplugging closes the board's end, as pulling the cable does.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "acquisition/device_frame.h"

namespace quarvel::testing {

using Bytes = std::vector<uint8_t>;

struct FirmataBoardPlay {
  bool answers = true;                    // false: a board that never sends its version report
  int boot_ms = 0;                        // it speaks first this long after the start (-1: only when asked)
  std::map<int64_t, Bytes> inject_after;  // bytes written after the pass of that number
  // The value of analog channel ch in pass k (0..1023).
  std::function<int(int64_t k, int ch)> value = [](int64_t k, int ch) {
    return static_cast<int>((k * 37 + ch * 251) % 1024);
  };
};

struct DigitalWrite {
  int port = 0;
  int levels = 0;
  std::chrono::steady_clock::time_point at;
};

class PtyBoard {
 public:
  PtyBoard();
  ~PtyBoard();
  PtyBoard(const PtyBoard&) = delete;
  PtyBoard& operator=(const PtyBoard&) = delete;

  // The device path the program opens.
  const std::string& path() const { return path_; }

  // Writes `lead` at once, then line k (its line end included) at k / rate_hz seconds from now; closes
  // the board's end after `unplug_after` lines (-1: never).
  void play_lines(std::vector<std::string> lines, double rate_hz, std::string lead = {},
                  int64_t unplug_after = -1);
  void play_firmata(FirmataBoardPlay play);
  // Waits for the player to finish (every line written, or unplugged; a Firmata board plays until
  // the PtyBoard goes).
  void wait();

  // What the Firmata board has sent and been told so far.
  std::vector<Frame> frames_sent() const;
  std::vector<DigitalWrite> digital_writes() const;
  // When each line (of play_lines) or Firmata frame was written, in order.
  std::vector<std::chrono::steady_clock::time_point> written_at() const;
  Bytes host_bytes() const;
  int interval_ms() const { return interval_ms_; }
  int reported_channels() const { return reported_; }

 private:
  void write_all(const void* data, size_t n);
  void firmata_main(FirmataBoardPlay play);
  void on_host_bytes(const Bytes& b, const FirmataBoardPlay& play);
  void unplug();

  int master_ = -1;
  int slave_ = -1;  // kept open, so the pty keeps its settings between the program's opens
  std::string path_;
  std::thread player_;
  std::atomic<bool> quit_{false};
  std::atomic<int> interval_ms_{19};  // StandardFirmata's own default
  std::atomic<int> reported_{0};      // a bit per analog channel
  mutable std::mutex mutex_;
  std::vector<Frame> sent_;
  std::vector<DigitalWrite> writes_;
  std::vector<std::chrono::steady_clock::time_point> written_at_;
  Bytes host_;
  Bytes pending_;  // host bytes not yet a whole message
};

}  // namespace quarvel::testing
