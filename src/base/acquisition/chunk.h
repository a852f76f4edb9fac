// The chunks of a continuous recording: a recording ends once the frames of one chunk, file_length
// seconds of them, are stored inside a sweep. The frames themselves go to the file as they come;
// only their count is kept here.
#pragma once

#include <cstdint>

namespace quarvel {

// Frames of one chunk: round(file_length / sample_interval), never less than one and never more
// than a recording may hold.
int64_t chunk_frames(float file_length, float sample_interval);

class ChunkCount {
 public:
  void start(int64_t frames) {
    size_ = frames;
    left_ = frames;
  }
  // Counts one stored frame; true when it was the chunk's last.
  bool store_frame() {
    if (left_ > 0) --left_;
    return left_ == 0;
  }
  int64_t left() const { return left_; }
  int64_t size() const { return size_; }

 private:
  int64_t size_ = 0;
  int64_t left_ = 0;
};

}  // namespace quarvel
