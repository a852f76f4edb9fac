#include "datafile/recording_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <cerrno>
#include <cstring>

namespace quarvel {

namespace {

QString system_reason(int err) {
  return QString::fromLocal8Bit(std::strerror(err));
}

// Writes all n bytes, going on after a write that took only part of them. Returns the bytes that
// reached the file and leaves the reason of a failure in err.
int64_t write_all(int fd, const char* p, int64_t n, int& err) {
  int64_t done = 0;
  while (done < n) {
    const ssize_t got = ::write(fd, p + done, static_cast<size_t>(n - done));
    if (got < 0) {
      if (errno == EINTR) continue;
      err = errno;
      return done;
    }
    if (got == 0) {
      err = EIO;
      return done;
    }
    done += got;
  }
  return done;
}

}  // namespace

RecordingWriter::~RecordingWriter() {
  if (fd_ >= 0) ::close(fd_);
}

Status RecordingWriter::failure(const QString& reason) {
  pending_.clear();
  return DataFileFailure{DataFileError::WriteFailed,
                         QStringLiteral("%1 (%2)").arg(reason, QFileInfo(path_).fileName())};
}

Status RecordingWriter::create(const QString& path, QByteArrayView header) {
  if (fd_ >= 0) ::close(fd_);
  path_ = path;
  size_ = 0;
  pending_.clear();
  const QByteArray native = QFile::encodeName(path);
  fd_ = ::open(native.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC, 0644);
  if (fd_ < 0) return failure(system_reason(errno));
  struct stat st {};
  if (::fstat(fd_, &st) != 0) {
    const int err = errno;
    ::close(fd_);
    fd_ = -1;
    return failure(system_reason(err));
  }
  device_ = static_cast<uint64_t>(st.st_dev);
  inode_ = static_cast<uint64_t>(st.st_ino);
  int err = 0;
  if (write_all(fd_, header.data(), header.size(), err) != header.size()) {
    ::close(fd_);
    fd_ = -1;
    ::unlink(native.constData());
    return failure(system_reason(err));
  }
  size_ = header.size();
  return {};
}

void RecordingWriter::append_words(const int16_t* words, int64_t n) {
  const qsizetype at = pending_.size();
  pending_.resize(at + static_cast<qsizetype>(n) * 2);
  qToLittleEndian<int16_t>(words, n, pending_.data() + at);
}

Status RecordingWriter::check_still_ours() const {
  struct stat st {};
  const QByteArray native = QFile::encodeName(path_);
  if (::stat(native.constData(), &st) != 0) {
    return DataFileFailure{DataFileError::WriteFailed, QStringLiteral("the file was removed while recording")};
  }
  if (static_cast<uint64_t>(st.st_dev) != device_ || static_cast<uint64_t>(st.st_ino) != inode_) {
    return DataFileFailure{DataFileError::WriteFailed,
                           QStringLiteral("the file was replaced by another one while recording")};
  }
  return {};
}

Status RecordingWriter::flush(int64_t unit_bytes) {
  if (pending_.isEmpty()) return {};
  if (fd_ < 0) return failure(QStringLiteral("the file is not open"));
  if (Status st = check_still_ours(); !st) return failure(st.failure().detail);
  int err = 0;
  const int64_t n = pending_.size();
  const int64_t written = write_all(fd_, pending_.constData(), n, err);
  if (written != n) {
    // Keep the whole units that reached the file and take back the rest.
    const int64_t unit = unit_bytes > 0 ? unit_bytes : 1;
    const int64_t keep = size_ + (written / unit) * unit;
    if (::ftruncate(fd_, static_cast<off_t>(keep)) == 0) {
      size_ = keep;
    } else {
      size_ += written;
    }
    return failure(system_reason(err));
  }
  size_ += n;
  pending_.clear();
  if (::fdatasync(fd_) != 0 && errno != EINVAL && errno != EROFS) return failure(system_reason(errno));
  return {};
}

Status RecordingWriter::close() {
  pending_.clear();
  if (fd_ < 0) return {};
  const int r = ::close(fd_);
  fd_ = -1;
  if (r != 0) return failure(system_reason(errno));
  return {};
}

}  // namespace quarvel
