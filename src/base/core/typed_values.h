// What the numbers a user types into the settings boxes and the prompts are taken as, and the
// limits that keep every size they lead to within what the program can hold. A text reads as the
// number it starts with (num); each function below says when that number is refused.
#pragma once

#include <QString>
#include <cstdint>
#include <limits>
#include <optional>

namespace quarvel {

// The longest block in samples: one block of three channels in each sample array, the average
// and the generated block of a block recording (about 70 minutes at 1 kHz).
constexpr int32_t kMaxBlockLength = 1 << 22;

// The most frames a recording may hold: a file the readers can still load (its frames are indexed
// by int32 with one slot to spare).
constexpr int64_t kMaxRecordingFrames = std::numeric_limits<int32_t>::max() - 1;

// Highest sampling rate the continuous view records at.
constexpr float kMaxSamplingRate = 1000;
// Shortest sampling interval a block recording takes, in microseconds.
constexpr double kMinBlockIntervalUs = 30;

// A rate in Hz for the continuous view: more than 0 and at most 1000 once held in single
// precision (so 1e-300 is no rate: it is 0 as a float).
std::optional<float> rate_from_text(const QString& text);

// A sampling interval in seconds from a text in microseconds, for a block view whose screen
// is screen_seconds long: at least 30 us, and giving a block of 1 .. kMaxBlockLength samples.
std::optional<float> interval_from_text(const QString& text, double screen_seconds);

// The text a sampling interval (seconds) is shown with in the block view's rate box: whole
// microseconds, or up to three decimals of them.
QString interval_text(float sample_interval);

// A screen length in units of factor: more than 0 once held in single precision, with a surface
// width (factor x length / interval / 0.8) that is a finite positive number.
std::optional<float> screen_length_from_text(const QString& text, float factor, float sample_interval);

// A file length in seconds for recordings at sampling_rate: more than 0 once held in single
// precision; too_long when its frames would pass kMaxRecordingFrames.
struct FileLengthReading {
  std::optional<float> seconds;  // set when the length can be taken
  bool too_long = false;
};
FileLengthReading file_length_from_text(const QString& text, float sampling_rate);
// Whether file_length seconds at sampling_rate stay within kMaxRecordingFrames.
bool file_length_fits(float file_length, float sampling_rate);
// The longest file length, in whole seconds, that fits at sampling_rate.
double longest_file_length(float sampling_rate);

// Samples of a block for an answer to the block-length prompt (ms; above 1000 read as ms too)
// at the sampling interval that will be in force; 0 when the answer gives no whole sample.
int64_t block_samples_for_answer(const QString& answer, float sample_interval);

// An overplot displacement in percent: the number a text starts with; none when it does not start
// with one (the displacement is then left as it was) or when the number is not finite in single
// precision.
std::optional<float> displacement_from_text(const QString& answer);

// A frequency in Hz typed into the Filter dialog: the number the text starts with, a comma read
// as the decimal point (as desktops set to many languages write it); 0 when the text does not
// start with a number, which every filter refuses.
double frequency_from_text(const QString& text);

// A stimulus setting (delay, count, interval) as the header stores it: the rounded number,
// saturated to int16.
int16_t stimulus_setting(const QString& text);

}  // namespace quarvel
