// Where the samples of a measurement come from, as the user chooses it in the acquisition panel:
// the built-in generator or a serial device (Serial Plotter lines, a Firmata board), with the
// device's port and baud rate; and the line of text that says which source is in use and how its
// frames arrive.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

#include "acquisition/serial_device.h"

namespace quarvel {

// The entries of the source list, in its order; stored as this number in the shared state and in
// the kept settings.
enum class SourceKind : int16_t { Generator = 0, SerialLines = 1, Firmata = 2 };
constexpr int kSourceKinds = 3;

// "Generator", "Serial lines", "Firmata board": the list's captions in its order.
QStringList source_captions();
// The source of a list entry or a stored number; anything else is the generator.
SourceKind source_of(int entry);
bool is_device(SourceKind k);
DeviceKind device_kind(SourceKind k);  // for the two device kinds

// The baud rates the list offers, and the one each device kind starts with.
QStringList baud_choices();
int32_t default_baud(SourceKind k);
// A typed baud rate: a whole number, spaces around it allowed; nullopt for anything else. Whether
// the port takes it is baud_refusal's to say.
std::optional<int32_t> baud_from_text(const QString& text);

// The line that says what is in use, e.g. "Generator" or "Serial lines on /dev/ttyACM0 at 115200
// baud". With the device's status while it runs: the rate that arrives against the declared one,
// what the firmware said of itself, the faults counted and the warnings.
QString source_line(SourceKind k, const QString& port, int32_t baud);
QString running_source_line(SourceKind k, const QString& port, int32_t baud, float declared_hz,
                            const DeviceStatus& st);

}  // namespace quarvel
