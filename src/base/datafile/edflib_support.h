// Pieces shared by the EDF reader and the EDF+ export: a closing guard for EDFlib handles, the
// header struct (too large for the stack) and readable texts for EDFlib's error codes.
#pragma once

#include <QByteArray>
#include <QString>
#include <memory>

struct edf_hdr_struct;

namespace quarvel {

// An open EDFlib file, closed when the guard goes unless close() did it already.
class EdfHandle {
 public:
  EdfHandle() = default;
  explicit EdfHandle(int handle) : handle_(handle) {}
  EdfHandle(const EdfHandle&) = delete;
  EdfHandle& operator=(const EdfHandle&) = delete;
  ~EdfHandle();

  int get() const { return handle_; }
  // Closes the file (EDFlib finishes a file being written here); false when EDFlib reports an error.
  bool close();

 private:
  int handle_ = -1;
};

// A zeroed header struct on the heap: with room for 640 signals it is too large for the stack.
std::unique_ptr<edf_hdr_struct> new_edf_header();

// What an EDFlib error code (a negative return of an open, or the file type after a failed open)
// means, in a few words.
QString edflib_error_text(int code);

// The path in the form EDFlib's fopen takes.
QByteArray edflib_path(const QString& path);

}  // namespace quarvel
