// Opening long files: a one-hour, three-channel, 1 kHz .bin recording (about 29 MB) and a
// 10-million-value .prn file through File > Open's reader, next to reading the same bytes raw in
// the same run, with the peak memory of the process against the size of the sample arrays.
#include <benchmark/benchmark.h>
#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <cstring>

#include "app/main_window.h"
#include "datafile/bin_format.h"
#include "datafile/open_file.h"
#include "gui_main.h"

using namespace quarvel;

namespace {

// Answers the reader's questions: two channels, 1000 Hz.
class Answers : public Dialogs {
 public:
  QString input_box(const QString& prompt, const QString&, const QString&) override {
    return prompt.startsWith("Number") ? "2" : "1000";
  }
  bool yes_no(const QString&, const QString&) override { return false; }
  void warning(const QString& text, const QString&) override { qFatal("unexpected: %s", qPrintable(text)); }
  QString open_file(const FileDialogRequest&) override { return {}; }
  QString save_file(const FileDialogRequest&) override { return {}; }
};

QTemporaryDir& dir() {
  static QTemporaryDir d;
  return d;
}

QString bin_path() {
  const QString p = dir().filePath("hour.bin");
  if (QFile::exists(p)) return p;
  BinHeader h;
  h.channel_count = 3;
  h.ch_source = {1, 2, 3};
  h.interval_us = 1000;
  QByteArray b = encode_bin_header(h);
  const int frames = 3600 * 1000;
  b.reserve(128 + frames * 8);
  for (int i = 0; i < frames; ++i) {
    const int16_t f[3] = {static_cast<int16_t>(i % 1000), static_cast<int16_t>(-(i % 700)),
                          static_cast<int16_t>(i % 50)};
    append_frame(b, f, 0);
  }
  QFile out(p);
  out.open(QIODevice::WriteOnly);
  out.write(b);
  return p;
}

QString prn_path() {
  const QString p = dir().filePath("long.prn");
  if (QFile::exists(p)) return p;
  QByteArray b(10'000'000 * 4, Qt::Uninitialized);
  for (int i = 0; i < 10'000'000; ++i)
    qToLittleEndian<float>(static_cast<float>(i % 1000) * 0.01f, b.data() + 4 * i);
  QFile out(p);
  out.open(QIODevice::WriteOnly);
  out.write(b);
  return p;
}

// Resident and peak resident memory of the process in kB; the peak can be reset to the current
// size, so a load's own peak is measured apart from making the files.
long status_kb(const char* key) {
  QFile f("/proc/self/status");
  if (!f.open(QIODevice::ReadOnly)) return 0;
  for (const QByteArray& line : f.readAll().split('\n'))
    if (line.startsWith(key))
      return line.mid(static_cast<qsizetype>(strlen(key))).trimmed().split(' ').first().toLong();
  return 0;
}
void reset_peak() {
  QFile f("/proc/self/clear_refs");
  if (f.open(QIODevice::WriteOnly)) f.write("5");
}

void load(benchmark::State& state, const QString& file, double array_mb) {
  Services svc = system_services();
  svc.dialogs = std::make_unique<Answers>();
  MainWindow w(std::move(svc));
  long extra_kb = 0;
  for (auto _ : state) {
    w.s.raw_data.clear();
    w.s.work_data.clear();
    const long before = status_kb("VmRSS:");
    reset_peak();
    open_path(w, file);
    if (!w.s.file_loaded) state.SkipWithError("the file did not load");
    extra_kb = std::max(extra_kb, status_kb("VmHWM:") - before);
  }
  state.SetBytesProcessed(state.iterations() * QFile(file).size());
  state.counters["load_peak_MB"] = extra_kb / 1024.0;
  state.counters["raw+work_arrays_MB"] = array_mb;
}

void BM_OpenBinHour(benchmark::State& state) {
  load(state, bin_path(), 2 * 3 * 3600001 * 4 / 1e6);
}
void BM_OpenPrn10M(benchmark::State& state) {
  load(state, prn_path(), 2 * 2 * 5000001 * 4 / 1e6);
}

void raw_read(benchmark::State& state, const QString& file) {
  for (auto _ : state) {
    QFile f(file);
    f.open(QIODevice::ReadOnly);
    const QByteArray all = f.readAll();
    benchmark::DoNotOptimize(all.data());
  }
  state.SetBytesProcessed(state.iterations() * QFile(file).size());
}
void BM_RawReadBin(benchmark::State& state) {
  raw_read(state, bin_path());
}
void BM_RawReadPrn(benchmark::State& state) {
  raw_read(state, prn_path());
}

}  // namespace

BENCHMARK(BM_RawReadBin)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_OpenBinHour)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_RawReadPrn)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_OpenPrn10M)->Unit(benchmark::kMillisecond)->Iterations(5);

QUARVEL_BENCHMARK_GUI_MAIN()
