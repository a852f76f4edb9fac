#include "acquisition/serial_port.h"

#include <fcntl.h>
#include <grp.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <QSerialPortInfo>
#include <algorithm>
#include <cerrno>
#include <system_error>

#include "acquisition/serial_speed.h"

namespace quarvel {

std::vector<PortChoice> list_serial_ports() {
  std::vector<PortChoice> out;
  for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
    QString d = info.description();
    const QString maker = info.manufacturer();
    if (!maker.isEmpty() && !d.contains(maker)) d = d.isEmpty() ? maker : d + QStringLiteral(", ") + maker;
    out.push_back({info.systemLocation(), d});
  }
  std::sort(out.begin(), out.end(), [](const PortChoice& a, const PortChoice& b) { return a.path < b.path; });
  return out;
}

QString port_caption(const PortChoice& p) {
  return p.description.isEmpty() ? p.path
                                 : p.path + QStringLiteral("  (") + p.description + QStringLiteral(")");
}

QString device_group(const QString& path) {
  struct stat st {};
  if (::stat(path.toLocal8Bit().constData(), &st) != 0 || st.st_gid == 0) return QStringLiteral("dialout");
  char buffer[4096];
  struct group g {};
  struct group* found = nullptr;
  if (getgrgid_r(st.st_gid, &g, buffer, sizeof buffer, &found) != 0 || found == nullptr)
    return QStringLiteral("dialout");
  return QString::fromLocal8Bit(found->gr_name);
}

QString open_error_text(const QString& path, int err, const QString& group) {
  switch (err) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
      return QStringLiteral("There is no serial port %1: is the board plugged in, and is this its port?")
          .arg(path);
    case EACCES:
    case EPERM:
      return QStringLiteral(
                 "%1 may not be opened: permission denied. Join the group %2 (sudo adduser $USER %2), then "
                 "log out and in again.")
          .arg(path, group);
    case EBUSY:
    case EWOULDBLOCK:
      return QStringLiteral(
                 "%1 is busy: another program (a serial monitor, the Arduino IDE, another Quarvel) has it "
                 "open. Close it and try again.")
          .arg(path);
    case ENOTTY:
      return QStringLiteral("%1 is not a serial port.").arg(path);
    default:
      return QStringLiteral("%1 cannot be opened: %2.")
          .arg(path, QString::fromStdString(std::generic_category().message(err)));
  }
}

namespace {

OpenedPort failed(int fd, const QString& path, int err) {
  if (fd >= 0) ::close(fd);
  return {-1, open_error_text(path, err, device_group(path))};
}

}  // namespace

OpenedPort open_serial_port(const QString& path, int32_t baud) {
  const QByteArray name = path.toLocal8Bit();
  const int fd = ::open(name.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return failed(-1, path, errno);
  if (!::isatty(fd)) return failed(fd, path, ENOTTY);
  // Another reader of the same port would take bytes from this one: the lock keeps them apart
  // (root passes TIOCEXCL, not the lock), and TIOCEXCL keeps out programs that do not lock.
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) return failed(fd, path, errno == EWOULDBLOCK ? EBUSY : errno);
  (void)::ioctl(fd, TIOCEXCL);

  struct termios t {};
  if (::tcgetattr(fd, &t) != 0) return failed(fd, path, errno);
  ::cfmakeraw(&t);
  t.c_cflag |= CLOCAL | CREAD;
  t.c_cflag &= ~static_cast<tcflag_t>(CSTOPB | PARENB | CRTSCTS);
  t.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
  // One byte at least per read: with none asked for, a read of a port without input would say 0,
  // as a hang-up does; so a read without input fails with EAGAIN instead.
  t.c_cc[VMIN] = 1;
  t.c_cc[VTIME] = 0;
  if (::tcsetattr(fd, TCSANOW, &t) != 0) return failed(fd, path, errno);
  if (!set_any_baud(fd, baud)) {
    const int err = errno;
    ::close(fd);
    return {-1, QStringLiteral("%1 does not take %2 baud: %3.")
                    .arg(path)
                    .arg(baud)
                    .arg(QString::fromStdString(std::generic_category().message(err)))};
  }
  // A pseudo-terminal has no modem lines and answers ENOTTY; a real port has them raised by the
  // open already, so a refusal costs nothing.
  int lines = TIOCM_DTR | TIOCM_RTS;
  (void)::ioctl(fd, TIOCMBIS, &lines);
  ::tcflush(fd, TCIFLUSH);
  return {fd, {}};
}

}  // namespace quarvel
