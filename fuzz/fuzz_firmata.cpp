// The Firmata decoder, frame assembly and a recording's session on any bytes from a board.
#include <cstddef>
#include <cstdint>

#include "report.h"
#include "serial_properties.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace quarvel::fuzz;
  stop_on(check_firmata(serial_case(QByteArrayView(data, static_cast<qsizetype>(size)))));
  return 0;
}
