// Recording throughput: an hour of three channels at 1 kHz written through the recording
// writer as a recording writes them (frame by frame into the writer, each second flushed and on
// the disk before the next), next to a plain sequential write of the same bytes in the same
// one-second pieces with the same syncs, measured in the same repetition. The time column is the
// writer's; counters: ref_ms (the plain write), x_ref (writer / plain write) and pending_KiB (the
// most the writer held in memory between flushes, which does not depend on the length of the
// recording). Five repetitions; the medians are what counts.
#include <fcntl.h>
#include <unistd.h>

#include <benchmark/benchmark.h>
#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <vector>

#include "datafile/recording_writer.h"

using namespace quarvel;

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kChannels = 3;
constexpr int kFrameWords = kChannels + 1;
constexpr int kFramesPerSecond = 1000;
constexpr int kSeconds = 3600;

double seconds_since(Clock::time_point t0) {
  return std::chrono::duration<double>(Clock::now() - t0).count();
}

// The writer's run; returns the bytes of frames it put in the file.
int64_t write_through_writer(const QString& path, int64_t& most_pending) {
  RecordingWriter rec;
  if (!rec.create(path, QByteArray(128, '\0'))) return 0;
  int16_t frame[kFrameWords] = {};
  for (int s = 0; s < kSeconds; ++s) {
    for (int f = 0; f < kFramesPerSecond; ++f) {
      for (int c = 0; c < kChannels; ++c) frame[c] = static_cast<int16_t>(f + c);
      frame[kChannels] = 0;
      rec.append_words(frame, kFrameWords);
    }
    most_pending = std::max(most_pending, rec.pending_bytes());
    if (!rec.flush(2 * kFrameWords)) return 0;
  }
  const int64_t bytes = rec.size() - 128;
  return rec.close() ? bytes : 0;
}

// The reference: the same bytes with write() and fdatasync(), a second at a time.
int64_t write_plain(const QString& path) {
  const std::vector<char> second(static_cast<size_t>(kFramesPerSecond) * kFrameWords * 2, '\x11');
  const QByteArray name = QFile::encodeName(path);
  const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) return 0;
  int64_t bytes = 0;
  const std::vector<char> header(128, '\0');
  if (::write(fd, header.data(), header.size()) != static_cast<ssize_t>(header.size())) bytes = -1;
  for (int s = 0; s < kSeconds && bytes >= 0; ++s) {
    if (::write(fd, second.data(), second.size()) != static_cast<ssize_t>(second.size())) bytes = -1;
    if (bytes >= 0) bytes += static_cast<int64_t>(second.size());
    ::fdatasync(fd);
  }
  ::close(fd);
  return std::max<int64_t>(bytes, 0);
}

void BM_RecordingWriter(benchmark::State& state) {
  QTemporaryDir dir;
  static int run = 0;
  double ref_s = 0, writer_s = 0;
  int64_t bytes = 0, most_pending = 0;
  for (auto _ : state) {
    // Each file is new, as a recording's is; the order alternates from one repetition to the
    // next, so neither always follows the other's writeback.
    const bool writer_first = run++ % 2 == 0;
    double w = 0, r = 0;
    for (int k = 0; k < 2; ++k) {
      const auto t0 = Clock::now();
      if ((k == 0) == writer_first) {
        const int64_t b = write_through_writer(dir.filePath("rec.bin"), most_pending);
        w = seconds_since(t0);
        if (b == 0) state.SkipWithError("the writer failed");
        bytes += b;
      } else {
        if (write_plain(dir.filePath("plain.bin")) == 0) state.SkipWithError("the plain write failed");
        r = seconds_since(t0);
      }
    }
    QFile::remove(dir.filePath("rec.bin"));
    QFile::remove(dir.filePath("plain.bin"));
    writer_s += w;
    ref_s += r;
    state.SetIterationTime(w);
  }
  state.SetBytesProcessed(bytes);
  state.counters["ref_ms"] = benchmark::Counter(ref_s * 1000, benchmark::Counter::kAvgIterations);
  state.counters["x_ref"] = ref_s > 0 ? writer_s / ref_s : 0;
  state.counters["pending_KiB"] = static_cast<double>(most_pending) / 1024;
}
BENCHMARK(BM_RecordingWriter)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
