// The one writer of recordings: creates the data file with its header and appends frames to it
// while the recording runs. The file stays open from the header to the end of the recording, so
// nothing can make it start again without its header.
//
// Frames are collected in memory and written out by flush(), which the recording calls at least
// once a second and whenever a unit of frames is complete. A flush either adds whole units to the
// file or leaves it as it was: a write cut short (a full disk, a file-size limit) is cut back to
// the last whole unit, so the file on disk is always the header plus whole frames, and a block file
// whole blocks. A file removed or replaced since it was created is noticed before anything is
// written to it.
//
//   RecordingWriter rec;
//   if (Status st = rec.create(path, encode_bin_header(h)); !st) ...report st.failure().detail...
//   rec.append(encode_frames(...));
//   if (Status st = rec.flush(block_bytes); !st) ...
//   rec.close();
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <cstdint>

#include "datafile/result.h"

namespace quarvel {

class RecordingWriter {
 public:
  RecordingWriter() = default;
  ~RecordingWriter();
  RecordingWriter(const RecordingWriter&) = delete;
  RecordingWriter& operator=(const RecordingWriter&) = delete;

  // Creates the file at path (replacing a file of that name) and writes the header bytes; on
  // success the file stays open for the frames. A header that cannot be written whole removes the
  // file again.
  Status create(const QString& path, QByteArrayView header);
  bool is_open() const { return fd_ >= 0; }
  const QString& path() const { return path_; }

  // Adds frames to those waiting for the next flush.
  void append(QByteArrayView frames) { pending_.append(frames.data(), frames.size()); }
  void append_words(const int16_t* words, int64_t n);
  int64_t pending_bytes() const { return pending_.size(); }

  // Writes the waiting frames at the end of the file and asks the system to put them on the
  // disk. unit_bytes is what must reach the file whole (a frame, or a saved block): after a
  // failure the file ends at its last whole unit and the waiting frames are dropped.
  Status flush(int64_t unit_bytes);

  // Bytes of the file that are known to be on it: the header and every frame flushed.
  int64_t size() const { return size_; }

  // Closes the file; frames still waiting are not written (flush first).
  Status close();

 private:
  Status failure(const QString& reason);
  Status check_still_ours() const;

  QString path_;
  int fd_ = -1;
  uint64_t device_ = 0;
  uint64_t inode_ = 0;
  int64_t size_ = 0;
  QByteArray pending_;
};

}  // namespace quarvel
