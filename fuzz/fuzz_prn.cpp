// The .prn reader on any bytes, read with 1 or 2 channels (and refusing 0 and 3).
#include <cstddef>
#include <cstdint>

#include "properties.h"
#include "report.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace quarvel::fuzz;
  stop_on(check_prn(prn_case(QByteArrayView(data, static_cast<qsizetype>(size)))));
  return 0;
}
