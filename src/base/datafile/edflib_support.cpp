#include "datafile/edflib_support.h"

#include <edflib.h>

#include <QFile>

namespace quarvel {

EdfHandle::~EdfHandle() {
  if (handle_ >= 0) edfclose_file(handle_);
}

bool EdfHandle::close() {
  const int h = handle_;
  handle_ = -1;
  return h >= 0 && edfclose_file(h) == 0;
}

std::unique_ptr<edf_hdr_struct> new_edf_header() {
  return std::make_unique<edf_hdr_struct>();
}

QString edflib_error_text(int code) {
  switch (code) {
    case EDFLIB_MALLOC_ERROR:
      return QStringLiteral("out of memory");
    case EDFLIB_NO_SUCH_FILE_OR_DIRECTORY:
      return QStringLiteral("the file cannot be opened");
    case EDFLIB_FILE_CONTAINS_FORMAT_ERRORS:
      return QStringLiteral("not an EDF or BDF file, or a header that does not match the file");
    case EDFLIB_MAXFILES_REACHED:
      return QStringLiteral("too many EDF files are open");
    case EDFLIB_FILE_READ_ERROR:
      return QStringLiteral("the file cannot be read");
    case EDFLIB_FILE_ALREADY_OPENED:
      return QStringLiteral("the file is already open");
    case EDFLIB_FILETYPE_ERROR:
      return QStringLiteral("not an EDF or BDF file");
    case EDFLIB_FILE_WRITE_ERROR:
      return QStringLiteral("the file cannot be written");
    case EDFLIB_NUMBER_OF_SIGNALS_INVALID:
      return QStringLiteral("an invalid number of signals");
    case EDFLIB_FILE_IS_DISCONTINUOUS:
      return QStringLiteral("a discontinuous (EDF+D or BDF+D) file, which EDFlib does not read");
    case EDFLIB_ARCH_ERROR:
      return QStringLiteral("EDFlib does not support this machine");
    default:
      return QStringLiteral("EDFlib error %1").arg(code);
  }
}

QByteArray edflib_path(const QString& path) {
  return QFile::encodeName(path);
}

}  // namespace quarvel
