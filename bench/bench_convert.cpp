// The command-line companion converting a day-long recording, run as a user runs it, next to
// copying the same bytes with cp in the same run:
//   convert/edf_24h_3ch_1kHz   quarvel-convert edf of a 24 h, three-channel, 1 kHz .bin (691 MB)
// The time column is the conversion's (the whole process: reading, EDF+ export, check, rename);
// counters: ref_ms (cp of the .bin into the same folder) and x_ref (conversion / cp). The goal is
// x_ref <= 2. Each case runs 5 repetitions of one conversion each; the medians are what counts.
// The recording is written once per run with the program's own frame codec; both the conversion
// and cp read it from the page cache, their outputs are removed between repetitions, and each
// starts after a sync, so neither waits for the other's writing.
#include <benchmark/benchmark.h>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <chrono>

#include <unistd.h>

#include "datafile/bin_format.h"

using namespace quarvel;

namespace {

using Clock = std::chrono::steady_clock;

QTemporaryDir& dir() {
  static QTemporaryDir d;
  return d;
}

QString day_recording() {
  const QString p = dir().filePath("day.bin");
  if (QFile::exists(p)) return p;
  BinHeader h;
  h.channel_count = 3;
  h.ch_source = {1, 2, 3};
  h.interval_us = 1000;
  QFile out(p);
  if (!out.open(QIODevice::WriteOnly)) return {};
  out.write(encode_bin_header(h));
  constexpr int kFrames = 24 * 3600 * 1000;
  QByteArray b;
  for (int i = 0; i < kFrames; ++i) {
    const int16_t f[3] = {static_cast<int16_t>(i % 1000), static_cast<int16_t>(-(i % 700)),
                          static_cast<int16_t>(i % 50)};
    append_frame(b, f, static_cast<int16_t>(i % 10000 < 500 ? 100 : i % 10000 == 5000 ? 200 : 0));
    if (b.size() >= (1 << 24)) {
      out.write(b);
      b.clear();
    }
  }
  out.write(b);
  return out.error() == QFileDevice::NoError ? p : QString();
}

// Wall-clock milliseconds of a program run to its end; negative when it failed.
double run_ms(const QString& program, const QStringList& arguments) {
  QProcess p;
  p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  const Clock::time_point t0 = Clock::now();
  p.start(program, arguments);
  if (!p.waitForFinished(-1) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) return -1;
  return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

void BM_ConvertDayToEdf(benchmark::State& state) {
  const QString input = day_recording();
  if (input.isEmpty()) {
    state.SkipWithError("the recording could not be written");
    return;
  }
  const QString out_dir = dir().filePath("out");
  QDir().mkpath(out_dir);
  const QString edf = QDir(out_dir).filePath("day.edf");
  const QString copy = QDir(out_dir).filePath("day.bin");
  double product = 0, ref = 0;
  for (auto _ : state) {
    // Each command starts with nothing of the other's left to write back to the disk.
    QFile::remove(copy);
    ::sync();
    const double cp = run_ms("cp", {input, copy});
    QFile::remove(copy);
    QFile::remove(edf);
    ::sync();
    const double t = run_ms(QStringLiteral(QUARVEL_CONVERT), {"edf", "-q", "-o", out_dir, input});
    if (cp < 0 || t < 0) {
      state.SkipWithError("cp or the conversion failed");
      return;
    }
    state.SetIterationTime(t / 1000);
    product += t;
    ref += cp;
  }
  QFile::remove(edf);
  state.counters["ref_ms"] = ref / static_cast<double>(state.iterations());
  state.counters["x_ref"] = product / ref;
  state.SetBytesProcessed(state.iterations() * QFile(input).size());
}

}  // namespace

BENCHMARK(BM_ConvertDayToEdf)
    ->Name("convert/edf_24h_3ch_1kHz")
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
