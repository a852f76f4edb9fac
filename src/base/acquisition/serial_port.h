// Serial ports: the ones the system lists, and opening one for a device reader. The port is opened
// with the system's own calls (not QSerialPort) because it is read on a thread of its own without
// an event loop; Qt Serial Port lists the ports with their descriptions.
#pragma once

#include <QString>
#include <cstdint>
#include <vector>

namespace quarvel {

struct PortChoice {
  QString path;         // /dev/ttyACM0
  QString description;  // what the system knows of the device (product, maker), may be empty
};

// The serial ports the system lists, by path.
std::vector<PortChoice> list_serial_ports();
// "path  (description)" for a drop-down list, the path alone without a description.
QString port_caption(const PortChoice& p);

struct OpenedPort {
  int fd = -1;    // open, raw 8N1 at the baud rate, non-blocking; -1 when it could not be
  QString error;  // why not, naming the port, for the user
};

// Opens `path` for reading and writing, for this process alone: raw bytes, 8 data bits, no parity,
// one stop bit, no flow control, DTR and RTS raised where the port has them (a pseudo-terminal
// has none, and still works), and the input the port held before dropped.
OpenedPort open_serial_port(const QString& path, int32_t baud);

// The message for an `open` that failed with errno `err` on `path`; `group` is the group owning
// the device, whom a user must join when permission is denied.
QString open_error_text(const QString& path, int err, const QString& group);

// The group that owns the device file, for the permission message: "dialout" when it cannot be
// told or is root's.
QString device_group(const QString& path);

}  // namespace quarvel
