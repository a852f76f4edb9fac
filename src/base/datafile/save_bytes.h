// Saving a whole file at once (results tables, pictures): the bytes replace a file of that name
// only once all of them are on disk.
#pragma once

#include <QByteArray>
#include <QString>

#include "datafile/result.h"

namespace quarvel {

// Writes `bytes` as the whole content of the file at `path`: they go to a temporary file beside
// it, renamed to `path` once complete. WriteFailed, with the system's reason as the detail, when
// the folder, the disk or the file refuses them; nothing is left behind then, and a file already
// at `path` is kept as it was.
Status save_bytes(const QString& path, const QByteArray& bytes);

}  // namespace quarvel
