// Setting a serial port's speed to any baud rate, also one without a B-constant of its own
// (250000, 74880, ...). Apart from serial_port.cpp because the kernel's termios2 header cannot
// share a file with <termios.h>.
#pragma once

#include <cstdint>

namespace quarvel {

// Sets both directions of the open terminal `fd` to `baud`; false (errno set) when the port refuses.
bool set_any_baud(int fd, int32_t baud);

}  // namespace quarvel
