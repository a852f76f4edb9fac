#include "output_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
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
  // A private folder beside the target, so the new file is made under a name nobody else uses
  // without first making a file that it would replace: replacing a file makes the file system
  // write the new one out at once, which would cost a long conversion its speed.
  QTemporaryDir scratch(place.dir().filePath(QStringLiteral(".%1.XXXXXX").arg(place.fileName())));
  if (!scratch.isValid())
    return write_failure(
        QStringLiteral("cannot create a folder in %1: %2").arg(place.path(), scratch.errorString()));
  const QString temp = scratch.filePath(place.fileName());
  if (Status st = write(temp); !st) return st;
  // Readable by others as a file saved the usual way would be.
  QFile::setPermissions(temp, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                                  QFileDevice::ReadOther);
  const QByteArray from = QFile::encodeName(temp);
  const QByteArray to = QFile::encodeName(target);
  if (replace) {
    if (std::rename(from.constData(), to.constData()) != 0)
      return write_failure(
          QStringLiteral("cannot put it in place: %1").arg(QString::fromLocal8Bit(std::strerror(errno))));
    return {};
  }
  int error = 0;
  if (!move_without_replacing(from, to, &error)) {
    return write_failure(
        error == EEXIST
            ? QStringLiteral("%1 exists (--force replaces it)").arg(target)
            : QStringLiteral("cannot put it in place: %1").arg(QString::fromLocal8Bit(std::strerror(error))));
  }
  return {};
}

}  // namespace quarvel
