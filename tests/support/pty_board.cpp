#include "support/pty_board.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

namespace quarvel::testing {

namespace {

using Clock = std::chrono::steady_clock;

// A StandardFirmata board's replies, written out from the protocol's documents rather than with
// the program's own encoder, so a fault there cannot cancel out.
const Bytes kVersion{0xF9, 2, 5};

Bytes firmware_report() {
  Bytes b{0xF0, 0x79, 2, 5};
  for (const char c : std::string("StandardFirmata.ino")) b.insert(b.end(), {static_cast<uint8_t>(c), 0});
  b.push_back(0xF7);
  return b;
}

Bytes uno_analog_mapping() {
  Bytes b{0xF0, 0x6A};
  for (int pin = 0; pin < 20; ++pin) b.push_back(pin < 14 ? 0x7F : static_cast<uint8_t>(pin - 14));
  b.push_back(0xF7);
  return b;
}

}  // namespace

PtyBoard::PtyBoard() {
  char name[256];
  if (openpty(&master_, &slave_, name, nullptr, nullptr) != 0) throw std::runtime_error("openpty failed");
  path_ = name;
  termios t{};
  tcgetattr(slave_, &t);
  cfmakeraw(&t);
  tcsetattr(slave_, TCSANOW, &t);
}

PtyBoard::~PtyBoard() {
  quit_ = true;
  if (player_.joinable()) player_.join();
  if (master_ >= 0) ::close(master_);
  ::close(slave_);
}

void PtyBoard::wait() {
  if (player_.joinable()) player_.join();
}

void PtyBoard::unplug() {
  const std::lock_guard lock(mutex_);
  ::close(master_);
  master_ = -1;
}

void PtyBoard::write_all(const void* data, size_t n) {
  const auto* p = static_cast<const uint8_t*>(data);
  while (n > 0 && master_ >= 0) {
    const ssize_t w = ::write(master_, p, n);
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) return;
    p += w;
    n -= static_cast<size_t>(w);
  }
}

void PtyBoard::play_lines(std::vector<std::string> lines, double rate_hz, std::string lead,
                          int64_t unplug_after) {
  player_ = std::thread([this, lines = std::move(lines), rate_hz, lead = std::move(lead), unplug_after] {
    write_all(lead.data(), lead.size());
    const Clock::time_point start = Clock::now();
    for (size_t k = 0; k < lines.size() && !quit_; ++k) {
      if (static_cast<int64_t>(k) == unplug_after) return unplug();
      std::this_thread::sleep_until(start +
                                    std::chrono::nanoseconds(static_cast<int64_t>(k * 1e9 / rate_hz)));
      write_all(lines[k].data(), lines[k].size());
      const std::lock_guard lock(mutex_);
      written_at_.push_back(Clock::now());
    }
    if (unplug_after >= 0) unplug();
  });
}

void PtyBoard::on_host_bytes(const Bytes& b, const FirmataBoardPlay& play) {
  {
    const std::lock_guard lock(mutex_);
    host_.insert(host_.end(), b.begin(), b.end());
  }
  pending_.insert(pending_.end(), b.begin(), b.end());
  // Whole messages from the front: F9; F0 ... F7; C0|ch v; F4 pin mode; 90|port lsb msb.
  while (!pending_.empty()) {
    const uint8_t c = pending_[0];
    size_t len = 1;
    if (c == 0xF0) {
      size_t end = 1;
      while (end < pending_.size() && pending_[end] != 0xF7) ++end;
      if (end == pending_.size()) return;
      len = end + 1;
      const uint8_t cmd = pending_.size() > 1 ? pending_[1] : 0;
      if (cmd == 0x79 && play.answers) {
        const Bytes r = firmware_report();
        write_all(r.data(), r.size());
      } else if (cmd == 0x69 && play.answers) {
        const Bytes r = uno_analog_mapping();
        write_all(r.data(), r.size());
      } else if (cmd == 0x7A && len == 5) {
        interval_ms_ = pending_[2] | (pending_[3] << 7);
      }
    } else if (c == 0xF9) {
      if (play.answers) write_all(kVersion.data(), kVersion.size());
    } else if ((c & 0xF0) == 0xC0 || (c & 0xF0) == 0x90 || c == 0xF4) {
      len = (c & 0xF0) == 0xC0 ? 2 : 3;
      if (pending_.size() < len) return;
      if ((c & 0xF0) == 0xC0) {
        const int bit = 1 << (c & 0x0F);
        reported_ = pending_[1] ? (reported_ | bit) : (reported_ & ~bit);
      } else if ((c & 0xF0) == 0x90) {
        const std::lock_guard lock(mutex_);
        writes_.push_back({c & 0x0F, pending_[1] | (pending_[2] << 7), Clock::now()});
      }
    }
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(len));
  }
}

void PtyBoard::play_firmata(FirmataBoardPlay play) {
  player_ = std::thread([this, play = std::move(play)] { firmata_main(play); });
}

void PtyBoard::firmata_main(FirmataBoardPlay play) {
  const Clock::time_point start = Clock::now();
  bool spoke = play.boot_ms < 0 || !play.answers;
  Clock::time_point next_pass{};
  int64_t k = 0;
  while (!quit_) {
    if (!spoke && Clock::now() >= start + std::chrono::milliseconds(play.boot_ms)) {
      const Bytes r = firmware_report();
      write_all(kVersion.data(), kVersion.size());
      write_all(r.data(), r.size());
      spoke = true;
    }
    pollfd p{master_, POLLIN, 0};
    if (::poll(&p, 1, 1) > 0 && (p.revents & POLLIN)) {
      uint8_t buf[256];
      const ssize_t n = ::read(master_, buf, sizeof buf);
      if (n > 0) on_host_bytes(Bytes(buf, buf + n), play);
    }
    const int channels = reported_;
    if (channels == 0) {
      next_pass = Clock::time_point{};
      continue;
    }
    const Clock::time_point now = Clock::now();
    if (next_pass == Clock::time_point{}) next_pass = now + std::chrono::milliseconds(interval_ms_);
    if (now < next_pass) continue;
    next_pass += std::chrono::milliseconds(interval_ms_);
    Frame f;
    Bytes out;
    for (int ch = 0; ch < 4; ++ch) {
      if (!(channels & (1 << ch))) continue;
      const int v = play.value(k, ch);
      f.value[static_cast<size_t>(ch)] = static_cast<int16_t>(v);
      out.insert(out.end(), {static_cast<uint8_t>(0xE0 | ch), static_cast<uint8_t>(v & 0x7F),
                             static_cast<uint8_t>(v >> 7)});
    }
    write_all(out.data(), out.size());
    {
      const std::lock_guard lock(mutex_);
      sent_.push_back(f);
      written_at_.push_back(Clock::now());
    }
    ++k;
    if (auto extra = play.inject_after.find(k - 1); extra != play.inject_after.end())
      write_all(extra->second.data(), extra->second.size());
  }
}

std::vector<Frame> PtyBoard::frames_sent() const {
  const std::lock_guard lock(mutex_);
  return sent_;
}

std::vector<DigitalWrite> PtyBoard::digital_writes() const {
  const std::lock_guard lock(mutex_);
  return writes_;
}

std::vector<Clock::time_point> PtyBoard::written_at() const {
  const std::lock_guard lock(mutex_);
  return written_at_;
}

Bytes PtyBoard::host_bytes() const {
  const std::lock_guard lock(mutex_);
  return host_;
}

}  // namespace quarvel::testing
