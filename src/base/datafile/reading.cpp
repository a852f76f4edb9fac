#include "datafile/reading.h"

#include <QByteArray>
#include <QIODevice>
#include <algorithm>
#include <cmath>

#include <unistd.h>

#include "core/numbers.h"

namespace quarvel {

Result<int> channel_count_from_answer(const QString& answer, int max_channels) {
  bool is_number = false;
  const double v = answer.trimmed().toDouble(&is_number);
  const double c = round_even(v);
  if (!is_number || !(c >= 1 && c <= max_channels)) {
    return DataFileFailure{
        DataFileError::BadChannelAnswer,
        QStringLiteral("\"%1\" is not a channel count from 1 to %2").arg(answer).arg(max_channels)};
  }
  return static_cast<int>(c);
}

Status check_memory_for(int64_t bytes, int64_t physical) {
  if (physical <= 0 || bytes <= physical / 4 * 3) return {};
  return DataFileFailure{DataFileError::TooLarge,
                         QStringLiteral("the file needs %1 MB of memory; this machine has %2 MB")
                             .arg(bytes >> 20)
                             .arg(physical >> 20)};
}

Status check_memory_for(int64_t bytes) {
  const long pages = ::sysconf(_SC_PHYS_PAGES);
  const long page_size = ::sysconf(_SC_PAGESIZE);
  return check_memory_for(bytes, pages > 0 && page_size > 0 ? static_cast<int64_t>(pages) * page_size : 0);
}

constexpr int64_t kPieceBytes = int64_t{1} << 20;

// Reads exactly n bytes; QIODevice::read may return fewer than asked before the end.
static bool read_exact(QIODevice& device, char* p, qint64 n) {
  while (n > 0) {
    const qint64 got = device.read(p, n);
    if (got <= 0) return false;
    p += got;
    n -= got;
  }
  return true;
}

Status read_in_portions(QIODevice& device, int64_t count, int record_bytes, int portions,
                        const ReadProgress& progress, const DecodePortion& decode) {
  const int64_t portion = count / std::max(portions, 1);
  const int parts = portion == 0 ? 1 : portions;  // fewer records than portions: read them at once
  const int64_t last_part = count - portion * (parts - 1);
  // A portion is read and decoded a piece of about a megabyte at a time, so that the decoding
  // finds the bytes still in the cache they were just copied into.
  const int64_t piece = std::max<int64_t>(kPieceBytes / std::max(record_bytes, 1), 1);
  QByteArray buffer;
  buffer.resize(static_cast<qsizetype>(std::min(std::max(portion, last_part), piece) * record_bytes));
  int64_t done = 0;
  for (int k = 0; k < parts; ++k) {
    const int64_t n = k == parts - 1 ? last_part : portion;
    for (int64_t at = done; at < done + n;) {
      const int64_t m = std::min(piece, done + n - at);
      if (!read_exact(device, buffer.data(), m * record_bytes)) {
        return DataFileFailure{
            DataFileError::ReadFailed,
            QStringLiteral("reading record %1 of %2 failed: %3")
                .arg(at + 1)
                .arg(count)
                .arg(device.atEnd() ? QStringLiteral("the file ended early") : device.errorString())};
      }
      if (Status st = decode(buffer.constData(), at, m); !st) return st;
      at += m;
    }
    done += n;
    if (progress && k < parts - 1)
      progress(static_cast<int>(round_even(static_cast<double>(done) / count * 100)));
  }
  if (progress) progress(100);
  return {};
}

}  // namespace quarvel
