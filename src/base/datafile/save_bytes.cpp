#include "datafile/save_bytes.h"

#include <QSaveFile>

namespace quarvel {

Status save_bytes(const QString& path, const QByteArray& bytes) {
  QSaveFile f(path);
  if (!f.open(QIODevice::WriteOnly)) return DataFileFailure{DataFileError::WriteFailed, f.errorString()};
  // Without a commit the temporary file is removed when f goes; a failed commit removes it too.
  if (f.write(bytes) != bytes.size() || !f.commit())
    return DataFileFailure{DataFileError::WriteFailed, f.errorString()};
  return {};
}

}  // namespace quarvel
