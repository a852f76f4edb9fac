// Writing frames to the recording file. Writes are unbuffered, so a failure shows at once, and
// a failed write leaves the file at its last whole frame: a recording on disk is always its
// header plus a whole number of frames.
#pragma once

#include <QByteArrayView>
#include <QFile>
#include <QString>
#include <cstdint>

namespace quarvel {

// Opens the file for appending (unbuffered). On failure err (if given) says why.
bool open_record_file_for_append(QFile& f, QString* err);

// Appends encoded frames (whole frames of frame_words int16 words) at the end of the file. On a
// short or failed write the file is cut back to its last whole frame and err says why.
bool append_frames(QFile& f, QByteArrayView bytes, int frame_words, QString* err);

// The same for n words in memory, written little-endian.
bool append_frames(QFile& f, const int16_t* words, int32_t n, int frame_words, QString* err);

// Closes the file; false (with err) when closing reported an error.
bool close_record_file(QFile& f, QString* err);

// "<reason> (<file name>)" for messages.
QString file_error_text(const QFile& f);

}  // namespace quarvel
