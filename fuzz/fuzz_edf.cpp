// The EDF/BDF reader on any bytes, EDF+D files included, and any answer to its channel question.
#include <QDir>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <unistd.h>

#include "properties.h"
#include "report.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace quarvel::fuzz;
  // The reader opens files by name: one scratch file per fuzzing process.
  static const QString path = QDir::tempPath() + QStringLiteral("/quarvel-fuzz-edf-%1.edf").arg(getpid());
  stop_on(check_edf(edf_case(QByteArrayView(data, static_cast<qsizetype>(size))), path));
  return 0;
}
