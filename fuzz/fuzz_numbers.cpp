// The typed-number helpers: num() on any text, format() with any value and pattern, and the
// general forms, reading back what they write.
#include <cstddef>
#include <cstdint>

#include "properties.h"
#include "report.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace quarvel::fuzz;
  stop_on(check_numbers(number_case(QByteArrayView(data, static_cast<qsizetype>(size)))));
  return 0;
}
