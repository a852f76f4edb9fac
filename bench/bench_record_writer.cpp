// Recording throughput: one hour of three channels at 1 kHz written through the recording writer
// a second at a time, as a recording writes it (each second reaches the disk before the next),
// next to a plain sequential write of the same bytes in the same pieces with the same syncs, and
// to one unsynced write of them all.
#include <fcntl.h>
#include <unistd.h>

#include <benchmark/benchmark.h>
#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>
#include <vector>

#include "datafile/recording_writer.h"

using namespace quarvel;

namespace {

constexpr int kChannels = 3;
constexpr int kFrameWords = kChannels + 1;
constexpr int kFramesPerSecond = 1000;
constexpr int kSeconds = 3600;

void BM_RecordingWriter(benchmark::State& state) {
  QTemporaryDir dir;
  int64_t bytes = 0;
  for (auto _ : state) {
    RecordingWriter rec;
    (void)rec.create(dir.filePath("rec.bin"), QByteArray(128, '\0'));
    int16_t frame[kFrameWords] = {};
    for (int s = 0; s < kSeconds; ++s) {
      for (int f = 0; f < kFramesPerSecond; ++f) {
        for (int c = 0; c < kChannels; ++c) frame[c] = static_cast<int16_t>(f + c);
        rec.append_words(frame, kFrameWords);
      }
      (void)rec.flush(2 * kFrameWords);
    }
    bytes += rec.size() - 128;
    (void)rec.close();
  }
  state.SetBytesProcessed(bytes);
}
BENCHMARK(BM_RecordingWriter)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_PlainWriteInSyncedSeconds(benchmark::State& state) {
  QTemporaryDir dir;
  const std::vector<char> second(static_cast<size_t>(kFramesPerSecond) * kFrameWords * 2, '\x11');
  int64_t bytes = 0;
  const QByteArray name = QFile::encodeName(dir.filePath("plain.bin"));
  for (auto _ : state) {
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    for (int s = 0; s < kSeconds; ++s) {
      bytes += ::write(fd, second.data(), second.size());
      ::fdatasync(fd);
    }
    ::close(fd);
  }
  state.SetBytesProcessed(bytes);
}
BENCHMARK(BM_PlainWriteInSyncedSeconds)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_PlainWriteAtOnce(benchmark::State& state) {
  QTemporaryDir dir;
  const QByteArray data(static_cast<qsizetype>(kSeconds) * kFramesPerSecond * kFrameWords * 2, '\x11');
  int64_t bytes = 0;
  for (auto _ : state) {
    QFile f(dir.filePath("plain.bin"));
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(data);
    f.close();
    bytes += data.size();
  }
  state.SetBytesProcessed(bytes);
}
BENCHMARK(BM_PlainWriteAtOnce)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
