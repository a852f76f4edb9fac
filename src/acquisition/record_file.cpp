#include "acquisition/record_file.h"

#include <QByteArray>
#include <QFileInfo>
#include <QtEndian>

namespace quarvel {

QString file_error_text(const QFile& f) {
  return QStringLiteral("%1 (%2)").arg(f.errorString(), QFileInfo(f.fileName()).fileName());
}

bool open_record_file_for_append(QFile& f, QString* err) {
  if (f.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) return true;
  if (err) *err = file_error_text(f);
  return false;
}

bool append_frames(QFile& f, QByteArrayView bytes, int frame_words, QString* err) {
  if (bytes.isEmpty()) return true;
  const qint64 before = f.size();
  const qint64 written = f.write(bytes.data(), bytes.size());
  if (written == bytes.size()) return true;
  if (err) *err = file_error_text(f);
  // Keep only the frames that reached the file whole.
  const qint64 frame_bytes = 2LL * frame_words;
  const qint64 whole = written > 0 ? (written / frame_bytes) * frame_bytes : 0;
  f.resize(before + whole);
  return false;
}

bool append_frames(QFile& f, const int16_t* words, int32_t n, int frame_words, QString* err) {
  if (n <= 0) return true;
  const qsizetype size = static_cast<qsizetype>(n) * 2;
  if constexpr (Q_BYTE_ORDER == Q_LITTLE_ENDIAN) {
    return append_frames(f, QByteArrayView(reinterpret_cast<const char*>(words), size), frame_words, err);
  } else {
    QByteArray bytes(size, Qt::Uninitialized);
    qToLittleEndian<int16_t>(words, n, bytes.data());
    return append_frames(f, QByteArrayView(bytes), frame_words, err);
  }
}

bool close_record_file(QFile& f, QString* err) {
  if (!f.isOpen()) return true;
  const bool flushed = f.flush();
  const bool ok = flushed && f.error() == QFileDevice::NoError;
  if (!ok && err) *err = file_error_text(f);
  f.close();
  return ok;
}

}  // namespace quarvel
