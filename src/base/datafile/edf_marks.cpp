#include "datafile/edf_marks.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace quarvel {

void EdfMarkScanner::scan(const int16_t* words, int64_t held, int64_t first, int64_t n) {
  const int64_t end = first + n;
  // The next block start at or after `first`.
  int64_t next_block = block_length_ > 0 ? (first + block_length_ - 1) / block_length_ * block_length_ : end;
  for (int64_t i = first; i < end; ++i) {
    // Most frames of a recording mark nothing: no block start, no run that ends or begins. Their
    // words are passed over four at a time.
    const int16_t quiet = in_run_ ? 100 : 0;
    const int64_t stop = std::min({next_block, end, first + held});
    const uint64_t four = 0x0001000100010001ULL * static_cast<uint16_t>(quiet);
    while (i + 4 <= stop) {
      uint64_t w4;
      std::memcpy(&w4, words + (i - first), sizeof w4);
      if (w4 != four) break;
      i += 4;
    }
    if (i >= end) break;
    const int64_t k = i - first;
    const int16_t w = k < held ? words[k] : int16_t{0};
    if (i != next_block && w == quiet) continue;
    if (i == next_block) {
      marks_.push_back({i, QStringLiteral("block %1").arg(i / block_length_ + 1)});
      next_block += block_length_;
    }
    if (in_run_ && w != 100 && w != 200) {
      marks_.push_back({i, QString::fromLatin1(kEdfMarkerOffText)});
      in_run_ = false;
    }
    if (!in_run_ && w == 100) {
      marks_.push_back({i, QString::fromLatin1(kEdfMarkerOnText)});
      in_run_ = true;
    }
    if (w == 200) marks_.push_back({i, QString::fromLatin1(kEdfStimulusText)});
  }
}

std::vector<EdfMark> edf_marks_for(const std::vector<int16_t>& markers, int32_t sample_count,
                                   int32_t block_length) {
  EdfMarkScanner scanner(block_length);
  if (sample_count > 0)
    scanner.scan(markers.data(), std::min<int64_t>(static_cast<int64_t>(markers.size()), sample_count), 0,
                 sample_count);
  return scanner.take();
}

namespace {

// The block number of a "block N" mark; 0 for any other text.
int64_t block_number(const QString& text) {
  const QString t = text.trimmed();
  if (!t.startsWith(QLatin1String("block "))) return 0;
  bool ok = false;
  const int64_t n = t.mid(6).toLongLong(&ok);
  return ok && n >= 1 ? n : 0;
}

}  // namespace

int32_t edf_block_length(const std::vector<EdfMark>& marks, int32_t sample_count) {
  std::vector<int64_t> starts;  // of block k + 1 at index k
  for (const EdfMark& m : marks) {
    const int64_t n = block_number(m.text);
    if (n == 0) continue;
    // Each block once, and no more of them than there are frames.
    if (n > sample_count) return -1;
    if (static_cast<int64_t>(starts.size()) < n) starts.resize(static_cast<size_t>(n), -1);
    if (starts[static_cast<size_t>(n - 1)] != -1) return -1;
    starts[static_cast<size_t>(n - 1)] = m.frame;
  }
  if (starts.empty() || starts[0] != 0) return -1;
  const int64_t length = starts.size() > 1 ? starts[1] : sample_count;
  if (length < 1 || length > sample_count) return -1;
  for (size_t k = 0; k < starts.size(); ++k)
    if (starts[k] != static_cast<int64_t>(k) * length) return -1;
  // Every block that starts within the recording is marked, and no other.
  if ((sample_count + length - 1) / length != static_cast<int64_t>(starts.size())) return -1;
  return static_cast<int32_t>(length);
}

int64_t edf_other_marks(const std::vector<EdfMark>& marks, bool blocks_read) {
  int64_t n = 0;
  for (const EdfMark& m : marks) {
    const QString t = m.text.trimmed();
    const bool own = t == QLatin1String(kEdfMarkerOnText) || t == QLatin1String(kEdfMarkerOffText) ||
                     t == QLatin1String(kEdfStimulusText) || t == QLatin1String(kEdfRecordingEndsText) ||
                     (blocks_read && block_number(t) > 0);
    n += !t.isEmpty() && !own;
  }
  return n;
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
