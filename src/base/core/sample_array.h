// Sample arrays indexed from 0 with channels 1..3, whose channels are shared between copies
// until one of them writes: work_data = raw_data costs no copy of the samples, and the first write
// to a shared channel gives the writer a channel of its own. A channel the array does not hold
// (a file with fewer channels than the array) takes no memory and reads as 0.
//
// Reads and writes are told apart in the interface: operator() on a const array and channel()
// read; set(), operator() = v and write_channel() write. Each channel keeps a min/max summary of
// its samples (core/summary.h), made on the first long range query (or handed over by a reader
// that made it while filling the channel), dropped by any write and kept up to date by a reshape.
//
// A channel filled by a file reader with whole numbers (converter values) keeps them as int16, half
// the memory of floats: a day-long recording then takes no more memory than its file. Such a
// channel reads and summarises as its floats would; it becomes floats once (for every array that
// shares it) when a command asks for its samples as floats (channel()) or writes to it.
//
// Long channels are allocated in whole huge pages where the system offers them: a day of samples
// is hundreds of megabytes, and filling it page by page of 4 kB costs more than reading the file.
#pragma once

#include <array>
#include <cassert>
#include <cstdint>
#include <memory>

#include "core/summary.h"

namespace quarvel {

class SampleArray {
 public:
  // A sample of a non-const array: reading it reads, assigning to it writes.
  class Ref {
   public:
    Ref(SampleArray& a, int ch, int32_t i) : a_(a), ch_(ch), i_(i) {}
    operator float() const { return static_cast<const SampleArray&>(a_)(ch_, i_); }
    Ref& operator=(float v) {
      a_.set(ch_, i_, v);
      return *this;
    }
    Ref& operator=(const Ref& other) { return *this = static_cast<float>(other); }
    Ref& operator+=(float v) { return *this = static_cast<float>(*this) + v; }
    Ref& operator*=(float v) { return *this = static_cast<float>(*this) * v; }

   private:
    SampleArray& a_;
    int ch_;
    int32_t i_;
  };

  SampleArray() = default;

  // Gives a channel's memory back: a block mapped in huge pages (bytes > 0) or from malloc.
  struct Free {
    int64_t bytes = 0;
    void operator()(void* p) const;
  };

  // Channels 1..channels, samples 0..last_index (no samples when last_index < 0), every value 0.
  // `spare` more samples are reserved, so a later reshape to that many more costs no copy.
  void redim(int channels, int32_t last_index, int32_t spare = 0);
  // The same without setting the values, for a caller that writes every one of them at once (a
  // file reader): the memory is not written twice.
  void redim_for_filling(int channels, int32_t last_index, int32_t spare = 0);
  // The same with channels of whole numbers, each filled through whole_channel_for_filling().
  void redim_whole_for_filling(int channels, int32_t last_index, int32_t spare = 0);
  // Samples 0..size()-1 of a channel redim_whole_for_filling() made, for its reader to fill (and
  // before anything reads them).
  int16_t* whole_channel_for_filling(int ch);
  // Gives such a channel the values gain x (offset + whole number), computed in double precision
  // and then rounded to float: the digital values of an EDF file read as its physical ones.
  void scale_whole_channel(int ch, double gain, double offset);
  void clear() { redim(0, -1); }

  // Channels 1..channels, samples 0..last_index, keeping the values already held and zeroing the
  // new ones. A channel that gains no values it did not hold stays without memory.
  void reshape(int channels, int32_t last_index);

  int channels() const { return channels_; }
  int32_t last_index() const { return size_ - 1; }
  int32_t size() const { return size_; }
  bool has(int ch, int64_t i) const { return ch >= 1 && ch <= channels_ && i >= 0 && i < size_; }
  // Whether channel ch has memory of its own (false for a channel read as 0).
  bool holds(int ch) const { return ch >= 1 && ch <= channels_ && store_[ch - 1] != nullptr; }
  // Whether channel ch of both arrays is one and the same storage.
  bool shares(const SampleArray& other, int ch) const {
    return holds(ch) && store_[ch - 1] == other.store_[ch - 1];
  }

  // A sample outside the array reads as 0 and a write to it goes nowhere, so a view or reading
  // that reaches past the data can never touch memory that is not the array's.
  float operator()(int ch, int32_t i) const {
    if (!has(ch, i) || !store_[ch - 1]) return 0.0f;
    const Store& s = *store_[ch - 1];
    return s.whole ? s.value_of(s.whole[i]) : s.values[i];
  }
  Ref operator()(int ch, int32_t i) { return Ref(*this, ch, i); }
  void set(int ch, int32_t i, float v) {
    if (!has(ch, i)) return;
    write_channel(ch)[i] = v;
  }

  // Samples 0..size()-1 of channel ch (1..channels()) to read; zeros for a channel not held. A
  // channel of whole numbers becomes floats for this.
  const float* channel(int ch) const;
  // Whether channel ch holds whole numbers kept as int16 (see above).
  bool holds_whole(int ch) const { return holds(ch) && store_[ch - 1]->whole != nullptr; }
  // Samples first..first+count-1 of channel ch as floats into out (count within the array), for
  // a reader that takes a long channel a portion at a time without making it floats.
  void copy_out(int ch, int64_t first, int64_t count, float* out) const;
  // The same to write: the channel becomes the array's own (copied when shared, zeros when not
  // held) and its summary is dropped. Valid until the next redim, reshape or copy into this array.
  float* write_channel(int ch);
  // The same for a writer that sets every sample 0..size()-1: a shared channel gets memory of its
  // own without its values being copied first, so its samples are undefined until written.
  float* overwrite_channel(int ch);

  // Extremes of samples first..last of channel ch (clipped to the samples held), NaN skipped:
  // a long range through the channel's summary, a short one directly.
  Extremes extremes(int ch, int64_t first, int64_t last) const;
  // The extremes of many ranges of channel ch at once, in their order: the same answers as asking
  // for each, faster over a long channel.
  std::vector<Extremes> extremes(int ch, const std::vector<IndexRange>& ranges) const;

  // Hands channel ch (held, and not shared) the summary of its present samples, made by whoever
  // wrote them; a summary of another length is not taken.
  void set_summary(int ch, MinMaxSummary&& summary);

 private:
  // Either floats (values) or whole numbers (whole); the other pointer is null.
  struct Store {
    explicit Store(int64_t capacity, bool whole_numbers = false);
    // The whole numbers made floats, for every array sharing the store; the summary stays.
    void make_floats(int64_t size);
    float value_of(int16_t w) const {
      return scaled ? static_cast<float>(gain * (offset + static_cast<double>(w))) : static_cast<float>(w);
    }
    // The extremes of values from those of their whole numbers (the map is monotonic).
    Extremes value_of(Extremes e) const;
    std::unique_ptr<float[], Free> values;
    std::unique_ptr<int16_t[], Free> whole;
    int64_t capacity;
    bool scaled = false;  // whole numbers read as gain x (offset + w)
    double gain = 1;
    double offset = 0;
    bool zeroed = false;  // fresh memory from the system, which reads as 0 already
    // Made on the first long query, for the length it was asked over; a write drops it.
    mutable std::shared_ptr<MinMaxSummary> summary;
  };
  void allocate(int channels, int32_t last_index, int32_t spare, bool zero, bool whole_numbers = false);
  // Makes the summary of s's present samples unless it has one.
  void summarise(const Store& s) const;

  int channels_ = 0;
  int32_t size_ = 0;
  std::array<std::shared_ptr<Store>, 3> store_;
};

}  // namespace quarvel
