#include "datafile/save_bytes.h"

#include <QSaveFile>

namespace quarvel {

Status save_bytes(const QString& path, const QByteArray& bytes) {
  QSaveFile f(path);
  // Unbuffered, so a write the disk cuts short says so here: a buffered flush that stops part way
  // (a full disk) would still let the commit put a truncated file in place of the old one.
  if (!f.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
    return DataFileFailure{DataFileError::WriteFailed, f.errorString()};
  const qint64 written = f.write(bytes);
  if (written != bytes.size()) {
    const QString why = written < 0 ? f.errorString()
                                    : QStringLiteral("only %1 of %2 bytes could be written; the disk may be full")
                                          .arg(written)
                                          .arg(bytes.size());
    f.cancelWriting();
    return DataFileFailure{DataFileError::WriteFailed, why};
  }
  // Without a commit the temporary file is removed when f goes; a failed commit removes it too.
  if (!f.commit()) return DataFileFailure{DataFileError::WriteFailed, f.errorString()};
  return {};
}

}  // namespace quarvel
