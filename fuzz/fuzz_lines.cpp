// The Serial Plotter line reader on any bytes, with any inputs in use, read in pieces of any size.
#include <cstddef>
#include <cstdint>

#include "report.h"
#include "serial_properties.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace quarvel::fuzz;
  stop_on(check_lines(serial_case(QByteArrayView(data, static_cast<qsizetype>(size)))));
  return 0;
}
