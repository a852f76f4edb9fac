// Opening long files through File > Open (read, results grids, first picture with its summary)
// next to a plain read() of the same bytes into memory, measured in the same run:
//   open/bin_1h_3ch_1kHz    a one-hour, three-channel, 1 kHz .bin recording (about 29 MB)
//   open/bin_10h_3ch_1kHz   the same for ten hours (about 288 MB)
//   open/prn_10M_2ch        a 10-million-value, two-channel .prn file
// The time column is the product's; counters: ref_ms (the read into fresh 4 kB pages), x_ref
// (product / that read), ref_huge_ms and x_ref_huge (the same with the read into huge pages), peak_MB (the most memory the process held above what it held before the load: VmHWM against
// VmRSS), after_MB (what the loaded file keeps), one_copy_MB (one float32 copy of the samples
// plus the marker words) and peak_x_copy (peak_MB / one_copy_MB). Each case runs 5 repetitions
// of one load each; the medians are what counts.
#include <benchmark/benchmark.h>
#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <chrono>
#include <cstring>
#include <memory>

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include "app/main_window.h"
#include "core/memory.h"
#include "datafile/bin_format.h"
#include "datafile/open_file.h"
#include "gui_main.h"
#include "ui/surface.h"

using namespace quarvel;

namespace {

using Clock = std::chrono::steady_clock;

// Answers the reader's questions: two channels, 1000 Hz.
class Answers : public Dialogs {
 public:
  QString input_box(const QString& prompt, const QString&, const QString&) override {
    return prompt.startsWith("Number") ? "2" : "1000";
  }
  bool yes_no(const QString&, const QString&) override { return false; }
  SaveAnswer save_discard_cancel(const QString& text, const QString&) override {
    qFatal("unexpected: %s", qPrintable(text));
  }
  void warning(const QString& text, const QString&) override { qFatal("unexpected: %s", qPrintable(text)); }
  QString open_file(const FileDialogRequest&) override { return {}; }
  std::optional<CalibrationAnswer> calibration(const CalibrationRequest&) override { return std::nullopt; }
  QString save_file(const FileDialogRequest&) override { return {}; }
  std::optional<FilterSettings> filter_settings(const FilterSettings&, double,
                                                const PerChannel<bool>&) override {
    qFatal("unexpected Filter dialog");
  }
};

QTemporaryDir& dir() {
  static QTemporaryDir d;
  return d;
}

// A three-channel 1 kHz recording of `hours` hours, written once per run.
QString bin_path(int hours) {
  const QString p = dir().filePath(QStringLiteral("hours%1.bin").arg(hours));
  if (QFile::exists(p)) return p;
  BinHeader h;
  h.channel_count = 3;
  h.ch_source = {1, 2, 3};
  h.interval_us = 1000;
  QFile out(p);
  out.open(QIODevice::WriteOnly);
  out.write(encode_bin_header(h));
  const int frames = hours * 3600 * 1000;
  QByteArray b;
  for (int i = 0; i < frames; ++i) {
    const int16_t f[3] = {static_cast<int16_t>(i % 1000), static_cast<int16_t>(-(i % 700)),
                          static_cast<int16_t>(i % 50)};
    append_frame(b, f, static_cast<int16_t>(i % 10000 < 500 ? 100 : 0));
    if (b.size() >= (1 << 24)) {
      out.write(b);
      b.clear();
    }
  }
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
// size, so a load's own peak is measured apart from what came before.
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

// read() of the whole file into new memory, as a program that only reads would. The memory is
// mapped afresh each time (the allocator would otherwise hand back pages already touched, which
// no load of a new file gets), either in 4 kB pages, which cost a fault every 4 kB, or, as the
// load takes its arrays, in huge pages: that is the least a reader of these bytes can cost.
double read_ms(const QString& path, bool huge_pages) {
  const Clock::time_point t0 = Clock::now();
  const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
  if (fd < 0) return 0;
  const auto size = static_cast<size_t>(::lseek(fd, 0, SEEK_END));
  ::lseek(fd, 0, SEEK_SET);
  HugeBlock block;
  if (huge_pages) {
    block = map_huge_block(size);
  } else {
    void* m = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (m != MAP_FAILED) block = HugeBlock{m, size};
  }
  if (!block.data) {
    ::close(fd);
    return 0;
  }
  char* bytes = static_cast<char*>(block.data);
  size_t done = 0;
  while (done < size) {
    const ssize_t got = ::read(fd, bytes + done, size - done);
    if (got <= 0) break;
    done += static_cast<size_t>(got);
  }
  ::close(fd);
  benchmark::DoNotOptimize(bytes);
  benchmark::ClobberMemory();
  ::munmap(block.data, block.bytes);
  return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

// Drops everything a loaded file holds, so the next load starts from nothing.
void unload(MainWindow& w) {
  w.s.raw_data.clear();
  w.s.work_data.clear();
  w.s.ave_data.clear();
  w.s.spectrum.clear();
  redim(w.s.marker_data, -1);
}

void open(benchmark::State& state, const QString& file, int channels) {
  Services svc = system_services();
  svc.dialogs = std::make_unique<Answers>();
  MainWindow w(std::move(svc));
  w.show();
  w.disp->setFixedSize(1000, 500);
  QCoreApplication::processEvents();
  double product = 0, ref = 0, ref_huge = 0, peak_mb = 0, after_mb = 0;
  int32_t frames = 0;
  for (auto _ : state) {
    unload(w);
    ref += read_ms(file, false);
    ref_huge += read_ms(file, true);
    const long before = status_kb("VmRSS:");
    reset_peak();
    const Clock::time_point t0 = Clock::now();
    open_path(w, file);
    benchmark::DoNotOptimize(w.disp->image().constBits());
    const double t = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
    state.SetIterationTime(t / 1000);
    product += t;
    if (!w.s.file_loaded) state.SkipWithError("the file did not load");
    peak_mb += (status_kb("VmHWM:") - before) / 1024.0;
    after_mb += (status_kb("VmRSS:") - before) / 1024.0;
    frames = w.s.sample_count;
  }
  const double n = static_cast<double>(state.iterations());
  // The arrays hold one slot more than there are frames.
  const double one_copy_mb = (static_cast<double>(frames) + 1) * (4.0 * channels + 2) / (1 << 20);
  state.counters["ref_ms"] = ref / n;
  state.counters["x_ref"] = product / ref;
  state.counters["ref_huge_ms"] = ref_huge / n;
  state.counters["x_ref_huge"] = product / ref_huge;
  state.counters["peak_MB"] = peak_mb / n;
  state.counters["after_MB"] = after_mb / n;
  state.counters["one_copy_MB"] = one_copy_mb;
  state.counters["peak_x_copy"] = peak_mb / n / one_copy_mb;
  state.SetBytesProcessed(state.iterations() * QFile(file).size());
}

void BM_OpenBin1h(benchmark::State& state) {
  open(state, bin_path(1), 3);
}
void BM_OpenBin10h(benchmark::State& state) {
  open(state, bin_path(10), 3);
}
void BM_OpenPrn10M(benchmark::State& state) {
  open(state, prn_path(), 2);
}

}  // namespace

BENCHMARK(BM_OpenBin1h)->Name("open/bin_1h_3ch_1kHz")->Unit(benchmark::kMillisecond)->UseManualTime()
    ->Iterations(1)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_OpenBin10h)->Name("open/bin_10h_3ch_1kHz")->Unit(benchmark::kMillisecond)->UseManualTime()
    ->Iterations(1)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_OpenPrn10M)->Name("open/prn_10M_2ch")->Unit(benchmark::kMillisecond)->UseManualTime()
    ->Iterations(1)->Repetitions(5)->ReportAggregatesOnly(true);

QUARVEL_BENCHMARK_GUI_MAIN()
