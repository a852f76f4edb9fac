#include "core/typed_values.h"

#include <cmath>

#include "core/numbers.h"

namespace quarvel {

std::optional<float> rate_from_text(const QString& text) {
  const float v = static_cast<float>(num(text));
  if (!(v > 0 && v <= kMaxSamplingRate)) return std::nullopt;
  return v;
}

std::optional<float> interval_from_text(const QString& text, double screen_seconds) {
  const double us = num(text);
  if (!(us >= kMinBlockIntervalUs)) return std::nullopt;
  const float interval = static_cast<float>(us / 1000000);
  if (!(interval > 0) || !std::isfinite(interval)) return std::nullopt;
  const double samples = round_even(screen_seconds / interval);
  if (!(samples >= 1 && samples <= kMaxBlockLength)) return std::nullopt;
  return interval;
}

QString interval_text(float sample_interval) {
  const double us = round_even(static_cast<double>(sample_interval) * 1e6 * 1000) / 1000;
  return format_general_double(us);
}

std::optional<float> screen_length_from_text(const QString& text, float factor, float sample_interval) {
  const float v = static_cast<float>(num(text));
  if (!(v > 0) || !std::isfinite(v) || !(sample_interval > 0)) return std::nullopt;
  const float width = static_cast<float>(static_cast<double>(factor) * v / sample_interval / 0.8);
  if (!(width > 0) || !std::isfinite(width)) return std::nullopt;
  return v;
}

bool file_length_fits(float file_length, float sampling_rate) {
  const double frames = round_even(static_cast<double>(file_length) * sampling_rate);
  return std::isfinite(frames) && frames <= static_cast<double>(kMaxRecordingFrames);
}

double longest_file_length(float sampling_rate) {
  if (!(sampling_rate > 0)) return 0;
  return std::floor(static_cast<double>(kMaxRecordingFrames) / sampling_rate);
}

FileLengthReading file_length_from_text(const QString& text, float sampling_rate) {
  FileLengthReading r;
  const float v = static_cast<float>(num(text));
  if (!(v > 0)) return r;
  if (!std::isfinite(v) || !file_length_fits(v, sampling_rate)) {
    r.too_long = true;
    return r;
  }
  r.seconds = v;
  return r;
}

int64_t block_samples_for_answer(const QString& answer, float sample_interval) {
  const double v = num(answer);
  const double seconds = v > 1000 ? v / 1000 : v * 0.001;
  if (!(sample_interval > 0)) return 0;
  const double samples = round_even(seconds / sample_interval);
  if (!(samples >= 1)) return 0;
  return samples < 9.0e18 ? static_cast<int64_t>(samples) : std::numeric_limits<int64_t>::max();
}

std::optional<float> displacement_from_text(const QString& answer) {
  const QString t = answer.trimmed();
  int i = 0;
  if (i < t.size() && (t[i] == u'+' || t[i] == u'-')) ++i;
  if (i < t.size() && t[i] == u'.') ++i;
  if (i >= t.size() || !t[i].isDigit()) return std::nullopt;
  const float v = static_cast<float>(num(t));
  if (!std::isfinite(v)) return std::nullopt;
  return v;
}

double frequency_from_text(const QString& text) {
  return num(QString(text).replace(u',', u'.'));
}

int16_t stimulus_setting(const QString& text) {
  return round_i16(num(text));
}

}  // namespace quarvel
