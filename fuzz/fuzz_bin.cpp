// The .bin reader, both layouts, on any bytes and any typed channel count.
#include <cstddef>
#include <cstdint>

#include "properties.h"
#include "report.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace quarvel::fuzz;
  stop_on(check_bin(bin_case(QByteArrayView(data, static_cast<qsizetype>(size)))));
  return 0;
}
