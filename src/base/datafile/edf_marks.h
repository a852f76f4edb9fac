// The EDF+ annotations that stand for the marker channel and the blocks of a recording, and the
// marker words rebuilt from them. The EDF+ export writes these marks and the EDF reader reads them,
// so both sides share one definition of where a mark goes.
#pragma once

#include <QString>
#include <cstdint>
#include <vector>

namespace quarvel {

inline constexpr char kEdfMarkerOnText[] = "marker on";
inline constexpr char kEdfMarkerOffText[] = "marker off";
inline constexpr char kEdfStimulusText[] = "stimulus";
// The EDF+ wording for the true end of a recording whose last data record is padded.
inline constexpr char kEdfRecordingEndsText[] = "Recording ends";

// One annotation at the start of a frame (a sample index from 0).
struct EdfMark {
  int64_t frame = 0;
  QString text;

  bool operator==(const EdfMark&) const = default;
};

// The marks of frames 0..sample_count - 1, by frame: "block N" at the first frame of block N (from
// 1) when block_length > 0; "marker on" at the first frame of each run of 100 words and "marker off"
// at the first frame after the run (none when it lasts to the last frame); "stimulus" at each 200.
// A stimulus during a run does not end it, since the program marks a stimulus in place of the 100
// for that one frame. Words other than 0, 100 and 200 are no marks of the program and give none;
// frames the marker array does not hold count as 0.
std::vector<EdfMark> edf_marks_for(const std::vector<int16_t>& markers, int32_t sample_count,
                                   int32_t block_length);

// The same marks found portion by portion, for a recording read in pieces: scan() takes frames
// first..first + n - 1 in order (words[0..held - 1] of them, the rest 0), and marks() gives what
// edf_marks_for gives for all the frames scanned.
class EdfMarkScanner {
 public:
  explicit EdfMarkScanner(int32_t block_length) : block_length_(block_length) {}
  void scan(const int16_t* words, int64_t held, int64_t first, int64_t n);
  const std::vector<EdfMark>& marks() const { return marks_; }
  std::vector<EdfMark> take() { return std::move(marks_); }

 private:
  int32_t block_length_;
  bool in_run_ = false;
  std::vector<EdfMark> marks_;
};

// Marker words of sample_count frames rebuilt from marks in any order: 100 from each "marker on" to
// the next "marker off" (or the end), then 200 at each "stimulus". Other texts, and frames outside
// 0..sample_count - 1, are ignored. edf_markers_from(edf_marks_for(m, n, b), n) gives back m
// wherever m holds only 0, 100 and 200.
std::vector<int16_t> edf_markers_from(const std::vector<EdfMark>& marks, int32_t sample_count);

// The length of the blocks marked "block 1", "block 2", ... at frames 0, L, 2L, ..., one for each
// block that starts within the sample_count frames, as edf_marks_for writes a block recording's
// blocks; -1 when there are no such marks or they do not form those blocks.
int32_t edf_block_length(const std::vector<EdfMark>& marks, int32_t sample_count);

// How many marks are none of the program's own: neither marker on or off, a stimulus, the end of
// the recording, nor (when blocks_read) the start of a block.
int64_t edf_other_marks(const std::vector<EdfMark>& marks, bool blocks_read);

// The frame nearest to an annotation onset, for data records of samples_per_record samples that last
// record_duration; onset and duration in EDFlib's units of 100 ns.
int64_t edf_frame_at(int64_t onset, int64_t samples_per_record, int64_t record_duration);

}  // namespace quarvel
