#include "acquisition/serial_device.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <QStringList>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <system_error>

#include "acquisition/firmata_session.h"
#include "acquisition/serial_port.h"

namespace quarvel {

namespace {

// The longest the reader sleeps: the silence and rate checks run at least this often.
constexpr int kLongestWaitMs = 200;
// How long the closing bytes may take to leave before the port is closed without them.
constexpr int64_t kClosingNs = 500'000'000;

int64_t steady_ns() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

QString reason_of(int err) {
  return QString::fromStdString(std::generic_category().message(err));
}

QString hz_text(double v) {
  return QString::number(v, 'f', v < 10 ? 2 : 1);
}

}  // namespace

QString settings_refusal(const DeviceSettings& s) {
  if (s.inputs.empty()) return QStringLiteral("Choose at least one input to record.");
  if (s.port.trimmed().isEmpty()) return QStringLiteral("Choose the serial port of the device.");
  if (QString b = baud_refusal(s.baud); !b.isEmpty()) return b;
  if (!(s.rate_hz > 0)) return QStringLiteral("The sampling rate must be above 0 Hz.");
  if (s.kind == DeviceKind::Firmata) {
    if (FirmataInterval i = firmata_interval(s.rate_hz); i.ms == 0) return i.refusal;
    if (QString p = stimulus_pin_refusal(s.stimulus_pin); !p.isEmpty()) return p;
  }
  if (LinkFit f = check_link(s.kind, s.baud, s.inputs, s.rate_hz); !f.fits) return f.refusal;
  return {};
}

DeviceStart SerialDevice::start(const DeviceSettings& settings) {
  if (QString why = settings_refusal(settings); !why.isEmpty()) return {nullptr, why};
  const OpenedPort port = open_serial_port(settings.port, settings.baud);
  if (port.fd < 0) return {nullptr, port.error};
  std::unique_ptr<SerialDevice> d(new SerialDevice(settings, port.fd, steady_ns()));
  if (::pipe2(d->wake_, O_CLOEXEC | O_NONBLOCK) != 0) {
    const int err = errno;
    return {nullptr, QStringLiteral("%1 cannot be read: %2.").arg(settings.port, reason_of(err))};
  }
  d->reader_ = std::thread([p = d.get()] { p->run(); });
  return {std::move(d), {}};
}

SerialDevice::SerialDevice(const DeviceSettings& s, int fd, int64_t opened_ns)
    : settings_(s),
      fd_(fd),
      fifo_(fifo_capacity_for(s.rate_hz)),
      rate_(s.rate_hz),
      last_byte_ns_(opened_ns),
      last_frame_ns_(opened_ns) {
  if (s.kind == DeviceKind::Firmata) {
    FirmataPlan plan;
    plan.port = s.port;
    plan.inputs = s.inputs;
    plan.interval_ms = firmata_interval(s.rate_hz).ms;
    plan.stimulus_pin = s.stimulus_pin;
    protocol_ = make_firmata_protocol(plan, opened_ns);
    // The board's own rate is what its interval makes of it.
    rate_ = RateMeter(1000.0 / plan.interval_ms);
  } else {
    protocol_ = make_lines_protocol(s.inputs);
  }
}

SerialDevice::~SerialDevice() {
  stop();
  for (int& f : wake_)
    if (f >= 0) ::close(f);
  close_port();
}

void SerialDevice::stop() {
  if (!reader_.joinable()) return;
  stop_requested_ = true;
  const char b = 's';
  (void)!::write(wake_[1], &b, 1);
  reader_.join();
}

bool SerialDevice::take_frames(std::vector<Frame>& out) {
  // Every frame is in the buffer before the end is announced.
  const bool ended = ended_.load(std::memory_order_acquire);
  fifo_.take_all(out);
  return !ended;
}

DeviceStatus SerialDevice::status() const {
  const std::lock_guard lock(status_mutex_);
  DeviceStatus s = status_;
  s.counts.overruns = fifo_.overruns();
  return s;
}

bool SerialDevice::pulse_stimulus() {
  if (settings_.kind != DeviceKind::Firmata || settings_.stimulus_pin < 0) return false;
  if (status().state != DeviceState::Running) return false;
  pulses_requested_.fetch_add(1);
  const char b = 'p';
  (void)!::write(wake_[1], &b, 1);
  return true;
}

void SerialDevice::close_port() {
  if (fd_ < 0) return;
  ::close(fd_);
  fd_ = -1;
}

void SerialDevice::run() {
  while (true) {
    int64_t now = steady_ns();
    const int64_t deadline = protocol_->next_deadline_ns();
    int wait_ms = kLongestWaitMs;
    if (deadline != kNoDeadline)
      wait_ms = static_cast<int>(std::clamp<int64_t>((deadline - now + 999'999) / 1'000'000, 0, wait_ms));
    pollfd fds[2] = {{fd_, static_cast<short>(POLLIN | (pending_out_.empty() ? 0 : POLLOUT)), 0},
                     {wake_[0], POLLIN, 0}};
    if (::poll(fds, 2, wait_ms) < 0 && errno != EINTR) {
      end(QStringLiteral("Waiting for %1 failed: %2.").arg(settings_.port, reason_of(errno)));
      return;
    }
    now = steady_ns();
    if (fds[1].revents & POLLIN) {
      char drain[64];
      while (::read(wake_[0], drain, sizeof drain) > 0) {
      }
    }
    if ((fds[0].revents & (POLLIN | POLLHUP | POLLERR | POLLNVAL)) && !read_available(now)) return;
    if (stop_requested_) break;
    if (pulses_requested_.exchange(0) > 0) protocol_->pulse(now);
    protocol_->on_time(now);
    if (const QString why = protocol_->failure(); !why.isEmpty()) {
      end(why);
      return;
    }
    const std::vector<uint8_t> out = protocol_->take_outgoing();
    pending_out_.insert(pending_out_.end(), out.begin(), out.end());
    if (!write_pending()) return;
    publish(now);
  }

  // Stopped: what leaves the board as found goes out first, as far as the port takes it in time.
  const std::vector<uint8_t> closing = protocol_->closing_bytes();
  pending_out_.insert(pending_out_.end(), closing.begin(), closing.end());
  const int64_t until = steady_ns() + kClosingNs;
  while (!pending_out_.empty() && steady_ns() < until) {
    pollfd out{fd_, POLLOUT, 0};
    if (::poll(&out, 1, 50) < 0 && errno != EINTR) break;
    if (!write_pending()) return;
  }
  int queued = 0;
  while (::ioctl(fd_, TIOCOUTQ, &queued) == 0 && queued > 0 && steady_ns() < until) ::usleep(5000);
  // Bytes a port has not sent by now it will not send soon: dropped, so the close does not wait
  // for them.
  if (queued > 0) ::tcflush(fd_, TCOFLUSH);
  publish(steady_ns());
  end({});
}

bool SerialDevice::read_available(int64_t now_ns) {
  uint8_t buf[4096];
  batch_.clear();
  QString ended;
  // A bounded number of reads, so requests and writes are seen however fast the bytes come.
  for (int reads = 0; reads < 64; ++reads) {
    const ssize_t n = ::read(fd_, buf, sizeof buf);
    if (n > 0) {
      bytes_ += n;
      last_byte_ns_ = now_ns;
      protocol_->on_bytes(std::span<const uint8_t>(buf, static_cast<size_t>(n)), now_ns, batch_);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
    // A read of 0 (the port hung up) or EIO (its device went away) ends the stream like a
    // hang-up; any other error as what it is.
    if (n == 0 || errno == EIO)
      ended = QStringLiteral("%1 hung up (unplugged, or the board was reset)").arg(settings_.port);
    else
      ended = QStringLiteral("Reading %1 failed (%2)").arg(settings_.port, reason_of(errno));
    break;
  }
  if (!batch_.empty()) {
    fifo_.push(batch_);
    frames_ += static_cast<int64_t>(batch_.size());
    last_frame_ns_ = now_ns;
  }
  if (ended.isEmpty()) return true;
  protocol_->finish();
  publish(now_ns);
  end(QStringLiteral("%1 after %2 frames: every frame received is kept.").arg(ended).arg(frames_));
  return false;
}

bool SerialDevice::write_pending() {
  while (!pending_out_.empty()) {
    const ssize_t n = ::write(fd_, pending_out_.data(), pending_out_.size());
    if (n > 0) {
      pending_out_.erase(pending_out_.begin(), pending_out_.begin() + n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return true;  // the rest when it takes it
    const int err = n < 0 ? errno : EIO;
    protocol_->finish();
    publish(steady_ns());
    end(err == EIO
            ? QStringLiteral("%1 hung up (unplugged, or the board was reset) after %2 frames: every frame "
                             "received is kept.")
                  .arg(settings_.port)
                  .arg(frames_)
            : QStringLiteral("Writing to %1 failed (%2) after %3 frames: every frame received is kept.")
                  .arg(settings_.port, reason_of(err))
                  .arg(frames_));
    return false;
  }
  return true;
}

void SerialDevice::publish(int64_t now_ns) {
  rate_.add(now_ns, frames_ - rated_frames_);
  rated_frames_ = frames_;
  if (ready_ns_ < 0 && protocol_->ready()) ready_ns_ = now_ns;

  QStringList warnings;
  if (ready_ns_ >= 0) {
    const int64_t quiet = now_ns - std::max(last_byte_ns_, ready_ns_);
    const int64_t idle = now_ns - std::max(last_frame_ns_, ready_ns_);
    if (quiet >= kSilenceNs) {
      warnings << (settings_.kind == DeviceKind::Firmata
                       ? QStringLiteral("Nothing has come from %1 for %2 s: is the board still running "
                                        "StandardFirmata?")
                       : QStringLiteral(
                             "Nothing has come from %1 for %2 s: is the sketch running, and sending "
                             "at %3 baud?"))
                      .arg(settings_.port)
                      .arg(quiet / 1'000'000'000)
                      .arg(settings_.baud);
    } else if (idle >= kSilenceNs) {
      DeviceCounts c;
      protocol_->add_counts(c);
      const QString faults = fault_summary(c);
      warnings << QStringLiteral("Bytes come from %1 but no frame for %2 s%3: is the baud rate right?")
                      .arg(settings_.port)
                      .arg(idle / 1'000'000'000)
                      .arg(faults.isEmpty() ? QString()
                                            : QStringLiteral(" (") + faults + QStringLiteral(")"));
    }
  }
  if (rate_.off())
    warnings << QStringLiteral(
                    "Frames arrive at %1 a second, not at the %2 Hz declared: the recording's time "
                    "base is off by %3 %.")
                    .arg(hz_text(rate_.arriving_hz()), QString::number(rate_.declared_hz(), 'g', 6))
                    .arg(QString::number((rate_.arriving_hz() / rate_.declared_hz() - 1) * 100, 'f', 1));
  if (const QString w = protocol_->warning(); !w.isEmpty()) warnings << w;

  const std::lock_guard lock(status_mutex_);
  if (status_.state != DeviceState::Ended)
    status_.state = protocol_->ready() ? DeviceState::Running : DeviceState::Starting;
  DeviceCounts c;
  protocol_->add_counts(c);
  c.bytes = bytes_;
  c.frames = frames_;
  status_.counts = c;
  status_.arriving_hz = rate_.arriving_hz();
  status_.about = protocol_->about();
  status_.warnings = warnings.join(QLatin1Char(' '));
}

void SerialDevice::end(const QString& reason) {
  close_port();
  {
    const std::lock_guard lock(status_mutex_);
    DeviceCounts c;
    protocol_->add_counts(c);
    c.bytes = bytes_;
    c.frames = frames_;
    status_.counts = c;
    status_.state = DeviceState::Ended;
    status_.end_reason = reason;
  }
  ended_.store(true, std::memory_order_release);
}

}  // namespace quarvel
