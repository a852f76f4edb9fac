#include "datafile/edf_reader.h"

#include <edflib.h>

#include <QFile>
#include <algorithm>
#include <cmath>
#include <limits>

#include "core/numbers.h"
#include "datafile/edf_marks.h"
#include "datafile/edflib_support.h"

namespace quarvel {

namespace {

constexpr int kPortions = 36;
constexpr int kGeneralHeaderBytes = 256;
constexpr int kSignalHeaderBytes = 256;
constexpr int64_t kChunkSamples = 1 << 16;  // read at a time, so the buffer stays small for any portion

DataFileFailure failure(DataFileError code, const QString& detail) {
  return DataFileFailure{code, detail};
}

// What EDFlib would only call a read error: an empty file, or one cut off inside its header.
Status check_header_size(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly))
    return failure(DataFileError::ReadFailed,
                   QStringLiteral("cannot open the file: %1").arg(f.errorString()));
  const qint64 size = f.size();
  if (size == 0) return failure(DataFileError::TooShort, QStringLiteral("the file is empty"));
  const QByteArray head = f.read(kGeneralHeaderBytes);
  if (head.size() < kGeneralHeaderBytes) {
    return failure(
        DataFileError::TooShort,
        QStringLiteral("%1 bytes, shorter than the %2-byte EDF header").arg(size).arg(kGeneralHeaderBytes));
  }
  bool is_number = false;
  const int signal_fields = head.mid(252, 4).trimmed().toInt(&is_number);
  const qint64 header_bytes = kGeneralHeaderBytes + static_cast<qint64>(signal_fields) * kSignalHeaderBytes;
  if (is_number && signal_fields > 0 && size < header_bytes) {
    return failure(DataFileError::TooShort,
                   QStringLiteral("the header of %1 signals needs %2 bytes; the file has %3")
                       .arg(signal_fields)
                       .arg(header_bytes)
                       .arg(size));
  }
  return {};
}

EdfKind kind_of(int filetype) {
  switch (filetype) {
    case EDFLIB_FILETYPE_EDF:
      return EdfKind::Edf;
    case EDFLIB_FILETYPE_BDF:
      return EdfKind::Bdf;
    case EDFLIB_FILETYPE_BDFPLUS:
      return EdfKind::BdfPlus;
    default:
      return EdfKind::EdfPlus;
  }
}

}  // namespace

Result<EdfContents> read_edf(const QString& path, const EdfChannelQuestion& ask_channel_count,
                             const ReadProgress& progress) {
  if (Status st = check_header_size(path); !st) return st.failure();
  auto hdr = new_edf_header();
  if (edfopen_file_readonly(edflib_path(path).constData(), hdr.get(), EDFLIB_READ_ALL_ANNOTATIONS) != 0) {
    const int code = hdr->filetype;
    const bool refused = code == EDFLIB_FILE_CONTAINS_FORMAT_ERRORS || code == EDFLIB_FILETYPE_ERROR ||
                         code == EDFLIB_FILE_IS_DISCONTINUOUS || code == EDFLIB_NUMBER_OF_SIGNALS_INVALID;
    return failure(refused ? DataFileError::NotEdf : DataFileError::ReadFailed, edflib_error_text(code));
  }
  EdfHandle handle(hdr->handle);
  const int h = hdr->handle;

  EdfContents out;
  out.kind = kind_of(hdr->filetype);
  out.signal_count = hdr->edfsignals;
  if (out.signal_count < 1 || out.signal_count > 3) {
    return failure(DataFileError::BadChannelCount,
                   QStringLiteral("%1 signals; from one to three can be read").arg(out.signal_count));
  }
  const int64_t per_record = hdr->signalparam[0].smp_in_datarecord;
  const int64_t duration = hdr->datarecord_duration;
  for (int i = 0; i < out.signal_count; ++i) {
    const int64_t n = hdr->signalparam[i].smp_in_datarecord;
    if (n <= 0 || duration <= 0) {
      return failure(DataFileError::BadSampleInterval,
                     QStringLiteral("signal %1 has %2 samples in records of %3 s, no positive sampling rate")
                         .arg(i + 1)
                         .arg(n)
                         .arg(static_cast<double>(duration) / EDFLIB_TIME_DIMENSION));
    }
    if (n != per_record) {
      return failure(DataFileError::MixedSampleRates,
                     QStringLiteral("signal %1 has %2 samples per record, signal 1 has %3")
                         .arg(i + 1)
                         .arg(n)
                         .arg(per_record));
    }
  }

  std::vector<EdfMark> marks;
  for (long long i = 0; i < hdr->annotations_in_file; ++i) {
    edf_annotation_struct a{};
    if (edf_get_annotation(h, static_cast<int>(i), &a) != 0)
      return failure(DataFileError::ReadFailed, QStringLiteral("annotation %1 cannot be read").arg(i + 1));
    marks.push_back({edf_frame_at(a.onset, per_record, duration), QString::fromUtf8(a.annotation)});
  }
  int64_t frames = hdr->signalparam[0].smp_in_file;
  for (const EdfMark& m : marks) {
    if (m.text.trimmed() == QLatin1String(kEdfRecordingEndsText) && m.frame >= 0)
      frames = std::min(frames, m.frame);
  }
  // The program keeps one slot more than there are samples, indexed by int32.
  if (frames >= std::numeric_limits<int32_t>::max())
    return failure(DataFileError::TooLarge, QStringLiteral("%1 samples are too many").arg(frames));

  Result<int> answer = channel_count_from_answer(
      ask_channel_count ? ask_channel_count(out.signal_count) : QString(), out.signal_count);
  if (!answer) return answer.failure();
  const int c = answer.value();
  out.channel_count = c;
  out.sample_interval =
      static_cast<float>(static_cast<double>(duration) / EDFLIB_TIME_DIMENSION / per_record);
  out.sample_count = static_cast<int32_t>(frames);
  out.samples.redim(c, out.sample_count - 1, 1);  // room for the spare slot of raw_data

  const int64_t portion = frames / kPortions;
  const int parts = portion == 0 ? 1 : kPortions;  // fewer samples than portions: read them at once
  std::vector<double> buffer(
      static_cast<std::size_t>(std::min<int64_t>(std::max<int64_t>(frames, 1), kChunkSamples)));
  float max_abs[3] = {0, 0, 0};
  int64_t done = 0;
  for (int k = 0; k < parts; ++k) {
    const int64_t end = k == parts - 1 ? frames : done + portion;
    for (int ch = 1; ch <= c; ++ch) {
      float* dst = out.samples.channel(ch);
      for (int64_t at = done; at < end;) {
        const int n = static_cast<int>(std::min<int64_t>(end - at, kChunkSamples));
        if (edfread_physical_samples(h, ch - 1, n, buffer.data()) != n) {
          return failure(
              DataFileError::ReadFailed,
              QStringLiteral("reading samples %1 to %2 of signal %3 failed").arg(at + 1).arg(at + n).arg(ch));
        }
        for (int i = 0; i < n; ++i) {
          const auto v = static_cast<float>(buffer[static_cast<std::size_t>(i)]);
          dst[at + i] = v;
          max_abs[ch - 1] = std::max(max_abs[ch - 1], std::fabs(v));
        }
        at += n;
      }
    }
    done = end;
    if (progress && k < parts - 1)
      progress(static_cast<int>(round_even(static_cast<double>(done) / frames * 100)));
  }
  if (progress) progress(100);
  for (int ch = 1; ch <= c; ++ch) out.ch_max[ch] = max_abs[ch - 1];
  out.markers = edf_markers_from(marks, out.sample_count);
  return out;
}

}  // namespace quarvel
