#include "datafile/edf_marks.h"

#include <algorithm>
#include <cmath>

namespace quarvel {

namespace {

int16_t word_at(const std::vector<int16_t>& markers, int32_t i) {
  return static_cast<std::size_t>(i) < markers.size() ? markers[static_cast<std::size_t>(i)] : int16_t{0};
}

}  // namespace

std::vector<EdfMark> edf_marks_for(const std::vector<int16_t>& markers, int32_t sample_count,
                                   int32_t block_length) {
  std::vector<EdfMark> marks;
  bool in_run = false;
  for (int32_t i = 0; i < sample_count; ++i) {
    if (block_length > 0 && i % block_length == 0)
      marks.push_back({i, QStringLiteral("block %1").arg(i / block_length + 1)});
    const int16_t w = word_at(markers, i);
    if (in_run && w != 100 && w != 200) {
      marks.push_back({i, QString::fromLatin1(kEdfMarkerOffText)});
      in_run = false;
    }
    if (!in_run && w == 100) {
      marks.push_back({i, QString::fromLatin1(kEdfMarkerOnText)});
      in_run = true;
    }
    if (w == 200) marks.push_back({i, QString::fromLatin1(kEdfStimulusText)});
  }
  return marks;
}

std::vector<int16_t> edf_markers_from(const std::vector<EdfMark>& marks, int32_t sample_count) {
  std::vector<int16_t> words(static_cast<std::size_t>(std::max(sample_count, 0)), 0);
  // On and off marks by frame, an off before an on at the same frame, so runs pair up whatever
  // order the file keeps them in.
  std::vector<std::pair<int64_t, bool>> edges;
  for (const EdfMark& m : marks) {
    const QString t = m.text.trimmed();
    if (t == QLatin1String(kEdfMarkerOnText)) edges.emplace_back(m.frame, true);
    if (t == QLatin1String(kEdfMarkerOffText)) edges.emplace_back(m.frame, false);
  }
  std::stable_sort(edges.begin(), edges.end());
  const auto fill = [&](int64_t from, int64_t to) {
    for (int64_t i = std::max<int64_t>(from, 0); i < std::min<int64_t>(to, sample_count); ++i)
      words[static_cast<std::size_t>(i)] = 100;
  };
  bool in_run = false;
  int64_t run_start = 0;
  for (const auto& [frame, on] : edges) {
    if (on && !in_run) {
      in_run = true;
      run_start = frame;
    } else if (!on && in_run) {
      in_run = false;
      fill(run_start, frame);
    }
  }
  if (in_run) fill(run_start, sample_count);
  for (const EdfMark& m : marks) {
    if (m.text.trimmed() == QLatin1String(kEdfStimulusText) && m.frame >= 0 && m.frame < sample_count)
      words[static_cast<std::size_t>(m.frame)] = 200;
  }
  return words;
}

int64_t edf_frame_at(int64_t onset, int64_t samples_per_record, int64_t record_duration) {
  // In long double: onset x samples can pass the int64 range for long files and long records.
  const long double f = static_cast<long double>(onset) * samples_per_record / record_duration;
  return static_cast<int64_t>(std::llround(f));
}

}  // namespace quarvel
