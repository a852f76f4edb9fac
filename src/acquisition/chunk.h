// The recording buffer of the acquisition loop: frames of int16 words (the samples of the active
// channels, then the marker word) collected in memory and written to the data file in chunks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quarvel {

// Words of one chunk as the recording settings give them: file_length seconds of whole frames of
// C + 1 words (round(file_length / sample_interval) frames, never less than one), so a chunk
// always fills exactly at the end of a frame.
int32_t chunk_words(int channel_count, float file_length, float sample_interval);

class Chunk {
 public:
  // A new, empty chunk of n words (whole frames of frame_words).
  void allocate(int32_t n, int frame_words);
  // Stores one word; a full chunk takes no more (it returns false then).
  bool store(int16_t word) {
    if (left_ <= 0) return false;
    words_[static_cast<size_t>(pos_ - 1)] = word;
    ++pos_;
    --left_;
    return true;
  }
  bool full() const { return left_ == 0; }
  int32_t pos() const { return pos_; }    // 1-based index of the next word
  int32_t left() const { return left_; }  // words still free
  int32_t size() const { return static_cast<int32_t>(words_.size()); }
  // The words stored so far (pos - 1 of them).
  const int16_t* data() const { return words_.data(); }
  int32_t used() const { return pos_ - 1; }

 private:
  std::vector<int16_t> words_;
  int32_t pos_ = 1;
  int32_t left_ = 0;
};

}  // namespace quarvel
