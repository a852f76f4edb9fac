#include "output_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

#include "datafile/file_names.h"

namespace quarvel {

namespace {

DataFileFailure write_failure(const QString& what) {
  return DataFileFailure{DataFileError::WriteFailed, what};
}

// Moves from onto to unless to exists, in one step where the file system allows it.
bool move_without_replacing(const QByteArray& from, const QByteArray& to, int* error) {
#ifdef RENAME_NOREPLACE
  if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) {
    *error = errno;
    return false;
  }
#endif
  // A file system without that: a second name made only when none exists, then the first dropped.
  if (::link(from.constData(), to.constData()) != 0) {
    *error = errno;
    return false;
  }
  ::unlink(from.constData());
  return true;
}

}  // namespace

QString output_path_for(const QString& input, const QString& output_dir, const QString& ext) {
  const QFileInfo in(input);
  const FileNameSplit split = split_file_name(in.fileName());
  const QString base = split.file_base.isEmpty() ? split.file_ext + "." : split.file_base;
  const QDir dir(output_dir.isEmpty() ? in.path() : output_dir);
  return dir.filePath(base + ext);
}

Status publish_file(const QString& target, bool replace,
                    const std::function<Status(const QString& temp)>& write) {
  const QFileInfo place(target);
  if (!place.dir().exists())
    return write_failure(QStringLiteral("the folder %1 does not exist").arg(place.path()));
  QTemporaryFile temp(place.dir().filePath(QStringLiteral(".%1.XXXXXX.part").arg(place.fileName())));
  if (!temp.open())
    return write_failure(
        QStringLiteral("cannot create a file in %1: %2").arg(place.path(), temp.errorString()));
  temp.close();
  if (Status st = write(temp.fileName()); !st) return st;
  // Readable by others as a file saved the usual way would be; the temporary one is private.
  QFile::setPermissions(temp.fileName(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                             QFileDevice::ReadGroup | QFileDevice::ReadOther);
  const QByteArray from = QFile::encodeName(temp.fileName());
  const QByteArray to = QFile::encodeName(target);
  if (replace) {
    if (std::rename(from.constData(), to.constData()) != 0)
      return write_failure(
          QStringLiteral("cannot put it in place: %1").arg(QString::fromLocal8Bit(std::strerror(errno))));
  } else {
    int error = 0;
    if (!move_without_replacing(from, to, &error)) {
      return write_failure(error == EEXIST ? QStringLiteral("%1 exists (--force replaces it)").arg(target)
                                           : QStringLiteral("cannot put it in place: %1")
                                                 .arg(QString::fromLocal8Bit(std::strerror(error))));
    }
  }
  temp.setAutoRemove(false);  // its name is the target's now
  return {};
}

}  // namespace quarvel
