// Recording throughput: one hour of three channels at 1 kHz written through the recording's
// chunk buffer and frame writer, next to a plain sequential write of the same bytes, with the
// memory the chunk buffer holds.
#include <benchmark/benchmark.h>
#include <QFile>
#include <QTemporaryDir>
#include <vector>

#include "acquisition/chunk.h"
#include "acquisition/record_file.h"

using namespace quarvel;

namespace {

constexpr int kChannels = 3;
constexpr float kSeconds = 3600;
constexpr float kInterval = 0.001f;

void BM_ChunkWriter(benchmark::State& state) {
  QTemporaryDir dir;
  const int frame = kChannels + 1;
  const int32_t n = chunk_words(kChannels, kSeconds, kInterval);
  int64_t bytes = 0;
  for (auto _ : state) {
    QFile f(dir.filePath("rec.bin"));
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(QByteArray(128, '\0'));
    f.close();
    open_record_file_for_append(f, nullptr);
    Chunk chunk;
    chunk.allocate(n, frame);
    int16_t v = 0;
    while (!chunk.full()) {
      for (int c = 0; c < kChannels; ++c) chunk.store(v++);
      chunk.store(0);
    }
    append_frames(f, chunk.data(), chunk.used(), frame, nullptr);
    close_record_file(f, nullptr);
    bytes += f.size() - 128;
  }
  state.SetBytesProcessed(bytes);
  state.counters["chunk_buffer_MB"] = n * 2.0 / 1e6;
}
BENCHMARK(BM_ChunkWriter)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_PlainSequentialWrite(benchmark::State& state) {
  QTemporaryDir dir;
  const int32_t n = chunk_words(kChannels, kSeconds, kInterval);
  const QByteArray data(static_cast<qsizetype>(n) * 2, '\x11');
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
BENCHMARK(BM_PlainSequentialWrite)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

BENCHMARK_MAIN();
