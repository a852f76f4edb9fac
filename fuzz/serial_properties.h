// How a fuzz input becomes a stream from a serial device, and what must hold of what the line
// reader and the Firmata decoder make of it. Shared by the libFuzzer targets and the replay test.
#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include "acquisition/device_frame.h"
#include "properties.h"

namespace quarvel::fuzz {

// A serial case. The first input byte: its low four bits are the inputs in use (bit k-1 for input
// k; none stands for input 1 alone), its high four the size of the pieces the stream is read in (0:
// all at once). The remaining bytes are the stream.
struct SerialCase {
  InputSet inputs;
  int piece = 0;
  QByteArray stream;
};
SerialCase serial_case(QByteArrayView input);
QByteArray serial_input(InputSet inputs, int piece, QByteArrayView stream);

// Lines: read in pieces as in one, every line accounted for as a reference cutting of the stream
// says, and every frame holding only the inputs in use and reading back as itself.
Findings check_lines(const SerialCase& c);
// Firmata: decoded in pieces as in one, values within their bit widths, no more messages than
// command bytes, and no more frames than the analog values make, from the decoder alone and from a
// whole session.
Findings check_firmata(const SerialCase& c);

}  // namespace quarvel::fuzz
