// What a serial source can do before anything is opened: the baud rates it takes, the Firmata
// sampling interval a rate asks for, and whether the link carries the rate at all. Each refusal
// comes with the text the user is shown.
#pragma once

#include <QString>
#include <cstdint>

#include "acquisition/device_frame.h"

namespace quarvel {

enum class DeviceKind { SerialLines, Firmata };

constexpr int32_t kLowestBaud = 9600;
constexpr int32_t kHighestBaud = 2000000;
constexpr int32_t kDefaultLinesBaud = 115200;
constexpr int32_t kDefaultFirmataBaud = 57600;  // StandardFirmata's fixed rate
// The widest line the shipped sketch prints: four values of up to 1023 and CR LF.
constexpr int kWidestSketchLine = 21;
// Bytes of one analog message: a command and two data bytes per pin and sample.
constexpr int kFirmataBytesPerValue = 3;

// Empty when the baud rate is one the program opens a port at, else why not.
QString baud_refusal(int32_t baud);

struct FirmataInterval {
  int ms = 0;       // 1..16383 when the rate is taken
  QString refusal;  // else why not, with the nearest rates that are
};

// The sampling interval 1000 / rate ms. The rate is taken as the program keeps it (single
// precision) and its period as the header stores it (whole microseconds), so a rate typed as
// 333.333 asks for 3 ms; a period that is no whole number of milliseconds is refused.
FirmataInterval firmata_interval(float rate_hz);

// Bytes a second a link carries at `baud`: ten bits a byte (start, eight data, stop), a tenth of it
// kept in reserve for the clock error of a board's serial port and the gaps between its bytes.
double link_bytes_per_second(int32_t baud);

struct LinkFit {
  bool fits = false;
  double highest_rate_hz = 0;  // the highest rate that fits (for Firmata: a whole-ms one); 0 if none
  QString refusal;             // when it does not fit
};

// Whether `rate_hz` frames a second of the inputs fit the link: a Firmata board sends
// kFirmataBytesPerValue bytes per input and sample; lines take `line_bytes` bytes each, whichever
// inputs are in use.
LinkFit check_link(DeviceKind kind, int32_t baud, InputSet inputs, float rate_hz,
                   int line_bytes = kWidestSketchLine);

}  // namespace quarvel
