#include "datafile/prn_reader.h"

#include <QBuffer>
#include <QByteArray>
#include <QIODevice>
#include <algorithm>
#include <cmath>
#include <limits>

#include "datafile/le_bytes.h"

namespace quarvel {

namespace {

constexpr int kPortions = 40;
constexpr int kValueBytes = 4;

}  // namespace

Result<PrnContents> read_prn(QIODevice& device, int channels, const ReadProgress& progress) {
  if (channels < 1 || channels > 2) {
    return DataFileFailure{DataFileError::BadChannelAnswer,
                           QStringLiteral("%1 channels; .prn files are read with 1 or 2").arg(channels)};
  }
  if (!device.isReadable() || device.isSequential()) {
    return DataFileFailure{DataFileError::ReadFailed, QStringLiteral("the file is not open for reading")};
  }
  const int sample_bytes = channels * kValueBytes;
  const qint64 size = device.size();
  // The whole samples the file holds are read; bytes of a last sample cut short are left alone.
  const int64_t count = size / sample_bytes;
  if (count == 0) {
    return DataFileFailure{DataFileError::PartialSample,
                           QStringLiteral("%1 bytes hold no whole %2-byte sample").arg(size).arg(sample_bytes)};
  }
  if (count >= std::numeric_limits<int32_t>::max()) {
    return DataFileFailure{DataFileError::TooLarge, QStringLiteral("%1 samples are too many").arg(count)};
  }
  if (Status st = check_memory_for(count * channels * 4LL); !st) return st.failure();
  if (!device.seek(0)) {
    return DataFileFailure{DataFileError::ReadFailed,
                           QStringLiteral("cannot position at the start: %1").arg(device.errorString())};
  }

  PrnContents out;
  out.channel_count = channels;
  out.sample_count = static_cast<int32_t>(count);
  // Every sample is written below (or the read fails); the spare slot of raw_data is kept free.
  out.samples.redim_for_filling(channels, out.sample_count - 1, 1);
  float* dst[2] = {};
  for (int ch = 1; ch <= channels; ++ch) dst[ch - 1] = out.samples.write_channel(ch);
  float max_abs[2] = {0, 0};
  const Status read = read_in_portions(
      device, count, sample_bytes, kPortions, progress,
      [&](const char* p, int64_t first, int64_t n) -> Status {
        for (int64_t i = first; i < first + n; ++i) {
          for (int k = 0; k < channels; ++k) {
            const float v = get_le_float(p);
            p += kValueBytes;
            const float scaled = v * 100.0f;
            if (!std::isfinite(scaled)) {
              return DataFileFailure{
                  DataFileError::BadValue,
                  QStringLiteral("value %1 of channel %2 is not a usable number").arg(i).arg(k + 1)};
            }
            dst[k][i] = scaled;
            max_abs[k] = std::max(max_abs[k], std::fabs(v));
          }
        }
        return {};
      });
  if (!read) return read.failure();
  for (int ch = 1; ch <= channels; ++ch) out.ch_max[ch] = max_abs[ch - 1] * 100.0f;
  return out;
}

Result<PrnContents> parse_prn(QByteArrayView bytes, int channels) {
  QByteArray raw = QByteArray::fromRawData(bytes.data(), bytes.size());
  QBuffer buffer(&raw);
  if (!buffer.open(QIODevice::ReadOnly)) {
    return DataFileFailure{DataFileError::ReadFailed, QStringLiteral("cannot open the bytes for reading")};
  }
  return read_prn(buffer, channels);
}

}  // namespace quarvel
