// Recording from a serial device through Record and STOP at 1 kHz x 4 inputs, the board played on
// a pseudo-terminal by a thread of this process: Serial Plotter lines at 1,000,000 baud, and a
// Firmata board at its fastest interval (1 ms). For each:
//   - frames recorded over frames sent (lines: every line; Firmata: the frames sent from the first
//     recorded to the last, which the file must hold as one unbroken run);
//   - the processor share of one core the program took (every thread of this process but the
//     board's), against an empty loop that reads the same bytes from the same kind of port;
//   - the time from a frame's last byte to the paint of the surface that first shows it: every
//     100th frame is a spike on input 1, found in the surface's picture at each paint.
// Then the stimulus pulse of a Firmata board in block mode: the time from the marked frame's
// write to the board's reading of the pin going high, its spread over the blocks.
// QUARVEL_DEVICE_SECONDS sets the recording's length (default 20 s).
#include <fcntl.h>
#include <poll.h>
#include <sys/types.h>
#include <unistd.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtEndian>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

#include "acquisition/device_source.h"
#include "app/main_window.h"
#include "app/services.h"
#include "app/settings.h"
#include "display/plot_geometry.h"
#include "support/pty_board.h"
#include "ui/surface.h"

using namespace quarvel;
using namespace quarvel::testing;
using Steady = std::chrono::steady_clock;

namespace {

// Answers the save dialog with one path and prints anything else it is asked.
class BenchDialogs : public Dialogs {
 public:
  explicit BenchDialogs(QString path) : path_(std::move(path)) {}
  QString input_box(const QString& p, const QString&, const QString& d) override {
    return p.startsWith("Block") ? answer : d;
  }
  bool yes_no(const QString&, const QString&) override { return true; }
  SaveAnswer save_discard_cancel(const QString&, const QString&) override { return SaveAnswer::Discard; }
  void warning(const QString& text, const QString&) override {
    std::fprintf(stderr, "  message: %s\n", qPrintable(text));
  }
  QString open_file(const FileDialogRequest&) override { return {}; }
  QString save_file(const FileDialogRequest&) override { return path_; }
  std::optional<FilterSettings> filter_settings(const FilterSettings&, double, const PerChannel<bool>&) override {
    return std::nullopt;
  }
  std::optional<CalibrationAnswer> calibration(const CalibrationRequest&) override { return std::nullopt; }
  QString answer;

 private:
  QString path_;
};

// CPU seconds of every thread of this process but `skip`.
double process_cpu_except(pid_t skip) {
  double total = 0;
  const long tick = sysconf(_SC_CLK_TCK);
  for (const QString& tid : QDir("/proc/self/task").entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
    if (tid.toInt() == skip) continue;
    QFile f("/proc/self/task/" + tid + "/stat");
    if (!f.open(QIODevice::ReadOnly)) continue;
    const QByteArray stat = f.readAll();
    const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
    total += (fields.value(11).toDouble() + fields.value(12).toDouble()) / tick;
  }
  return total;
}

std::vector<pid_t> tids() {
  std::vector<pid_t> out;
  for (const QString& t : QDir("/proc/self/task").entryList(QDir::Dirs | QDir::NoDotAndDotDot))
    out.push_back(t.toInt());
  return out;
}

// The thread that appeared between two lists: the board's player.
pid_t new_thread(const std::vector<pid_t>& before) {
  for (pid_t t : tids())
    if (std::find(before.begin(), before.end(), t) == before.end()) return t;
  return -1;
}

bool is_spike(int64_t k) {
  return k % 100 == 50;
}

std::vector<std::string> spike_lines(int64_t n) {
  std::vector<std::string> lines;
  for (int64_t k = 0; k < n; ++k)
    lines.push_back((is_spike(k) ? "1000 " : "0 ") + std::to_string(k % 1000) + " " +
                    std::to_string(k / 1000) + " 7\n");
  return lines;
}

// Counts the spikes the surface shows at each paint: runs of channel 1's colour along the row of
// +500 on its scale, right of the amplitude axis.
class SpikeWatch : public QObject {
 public:
  explicit SpikeWatch(MainWindow& w) : w_(w) { w.disp->installEventFilter(this); }
  std::vector<Steady::time_point> seen;  // when each spike was first painted, in order

 protected:
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() != QEvent::Paint || !w_.s.acq_running) return false;
    const PlotGeometry g = w_.channel_geometry(1);
    const PixelMap m(UserScale{0, g.top(), w_.disp->scale_width(), g.height()}, w_.disp->pixel_width(),
                     w_.disp->pixel_height());
    const int row = m.pixel_y(500);
    const QImage& img = w_.disp->image();
    if (row < 0 || row >= img.height()) return false;
    int runs = 0;
    bool in = false;
    for (int x = m.pixel_x(1); x < img.width(); ++x) {
      const bool lit = img.pixel(x, row) == QColor(Qt::white).rgb();
      runs += lit && !in;
      in = lit;
    }
    const int fresh = runs >= last_ ? runs - last_ : runs;  // fewer: a new sweep began
    for (int i = 0; i < fresh; ++i) seen.push_back(Steady::now());
    last_ = runs;
    return false;
  }

 private:
  MainWindow& w_;
  int last_ = 0;
};

struct Case {
  const char* name;
  int source;
  const char* baud;
  int rate_hz;
};

double ms(Steady::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

void report_latency(const std::vector<Steady::time_point>& written, std::vector<int64_t> spikes,
                    const std::vector<Steady::time_point>& seen) {
  std::vector<double> lat;
  for (size_t i = 0; i < seen.size() && i < spikes.size(); ++i)
    lat.push_back(ms(seen[i] - written[static_cast<size_t>(spikes[i])]));
  if (lat.empty()) return (void)std::printf("  latency: no spike seen\n");
  std::sort(lat.begin(), lat.end());
  std::printf(
      "  last byte to the paint that shows it: median %.2f ms, 95th %.2f ms, max %.2f ms (%zu spikes; "
      "screen refresh 16.7 ms)\n",
      lat[lat.size() / 2], lat[lat.size() * 95 / 100], lat.back(), lat.size());
}

// The reference: a thread that polls and reads the same kind of port and does nothing with it.
double empty_read_loop_cpu(double seconds) {
  PtyBoard board;
  std::atomic<bool> done{false};
  double cpu = 0;
  std::thread reader([&] {
    const int fd = ::open(board.path().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    char buf[4096];
    while (!done) {
      pollfd p{fd, POLLIN, 0};
      if (::poll(&p, 1, 200) > 0) (void)!::read(fd, buf, sizeof buf);
    }
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    cpu = t.tv_sec + t.tv_nsec / 1e9;
    ::close(fd);
  });
  board.play_lines(spike_lines(static_cast<int64_t>(seconds * 1000)), 1000);
  board.wait();
  done = true;
  reader.join();
  return cpu / seconds;
}

void record(const Case& c, double seconds, double reference) {
  QTemporaryDir dir;
  const QString file = dir.filePath("device.bin");
  Services svc = system_services();
  svc.dialogs = std::make_unique<BenchDialogs>(file);
  svc.settings.reset();
  MainWindow w(std::move(svc));
  w.show();
  w.mnuMeasure->trigger();
  for (int i = 0; i < 3; ++i) {
    w.ch_list[static_cast<size_t>(i)]->setCurrentIndex(i + 1);
    ch_list_click(w, i);
  }
  w.src_list->setCurrentIndex(c.source);
  src_list_click(w);
  PtyBoard board;
  w.port_list->setEditText(QString::fromStdString(board.path()));
  w.baud_list->setEditText(c.baud);
  w.sampling_hz->setEditText(QString::number(c.rate_hz));
  sampling_hz_lost_focus(w);
  SpikeWatch watch(w);

  const int64_t lines = static_cast<int64_t>(seconds * c.rate_hz);
  pid_t board_thread = -1;
  double cpu0 = 0;
  QElapsedTimer wall;
  const auto before = tids();
  auto start_board = [&] {
    cpu0 = process_cpu_except(-1);
    wall.start();
    if (c.source == 1) {
      board.play_lines(spike_lines(lines), 1000, "\n");
    } else {
      FirmataBoardPlay play;
      play.value = [](int64_t k, int ch) {
        return static_cast<int>(ch == 0 ? (is_spike(k) ? 1000 : 0) : ch == 1 ? k % 1000 : k / 1000 % 1000);
      };
      board.play_firmata(play);
    }
    board_thread = new_thread(before);
  };
  if (c.source == 2) start_board();  // the board answers the program's set-up
  QTimer::singleShot(300, &w, [&] {
    if (c.source == 1) start_board();
    QTimer::singleShot(static_cast<int>(seconds * 1000) + 1000, &w, [&] { w.halt->click(); });
  });
  double cpu = 0, elapsed = 0;
  QTimer::singleShot(0, &w, [&] { w.store->click(); });
  QTimer::singleShot(static_cast<int>(seconds * 1000) + 1300 + 200, &w, [&] {
    cpu = process_cpu_except(board_thread) - cpu0;
    elapsed = wall.elapsed() / 1000.0;
    QApplication::quit();
  });
  QApplication::exec();

  QFile f(file);
  (void)f.open(QIODevice::ReadOnly);
  const QByteArray all = f.readAll();
  const int64_t recorded = (all.size() - 128) / 8;
  const std::vector<Steady::time_point> written = board.written_at();
  std::vector<int64_t> spikes;
  std::printf("%s at %d Hz, 3 inputs:\n", c.name, c.rate_hz);
  if (c.source == 1) {
    for (int64_t k = 0; k < lines; ++k)
      if (is_spike(k)) spikes.push_back(k);
    std::printf("  frames recorded / sent: %lld / %lld = %.4f\n", static_cast<long long>(recorded),
                static_cast<long long>(lines), static_cast<double>(recorded) / static_cast<double>(lines));
  } else {
    // The file is a run of the frames sent: found by its first frame's counters.
    const std::vector<Frame> sent = board.frames_sent();
    const auto at = [&](int64_t i, int k) {
      return qFromLittleEndian<int16_t>(all.constData() + 128 + 8 * i + 2 * k);
    };
    int64_t first = 0;
    while (first < static_cast<int64_t>(sent.size()) &&
           (sent[static_cast<size_t>(first)].value[1] != at(0, 1) ||
            sent[static_cast<size_t>(first)].value[2] != at(0, 2)))
      ++first;
    int64_t same = 0;
    for (int64_t i = 0; i < recorded && first + i < static_cast<int64_t>(sent.size()); ++i)
      same += sent[static_cast<size_t>(first + i)].value[1] == at(i, 1) &&
              sent[static_cast<size_t>(first + i)].value[0] == at(i, 0);
    for (int64_t k = first; k < first + recorded; ++k)
      if (is_spike(k)) spikes.push_back(k);
    const int64_t after = static_cast<int64_t>(sent.size()) - first - recorded;
    std::printf(
        "  frames sent from the first recorded on that the file holds, in order: %lld / %lld = %.4f "
        "(%lld more sent after the last recorded, as STOP switched reporting off)\n",
        static_cast<long long>(same), static_cast<long long>(recorded),
        recorded > 0 ? static_cast<double>(same) / static_cast<double>(recorded) : 0.0,
        static_cast<long long>(after));
  }
  const double share = cpu / elapsed;
  std::printf("  processor share of one core: %.2f %% (reference: empty read loop %.2f %%; ratio %.1f)\n",
              100 * share, 100 * reference, reference > 0 ? share / reference : 0.0);
  report_latency(written, spikes, watch.seen);
}

// Block mode with a Firmata board at 1 ms: each STIM's first frame carries the stimulus mark, and
// the pin goes high as that frame is taken. The delay from the frame's write to the board reading
// the pin high, over the blocks.
void stimulus_jitter(int blocks) {
  QTemporaryDir dir;
  Services svc = system_services();
  auto dialogs = std::make_unique<BenchDialogs>(dir.filePath("blocks.bin"));
  dialogs->answer = "200";
  svc.dialogs = std::move(dialogs);
  svc.settings.reset();
  MainWindow w(std::move(svc));
  w.show();
  w.mnuMeasure->trigger();
  w.ch_list[0]->setCurrentIndex(1);
  ch_list_click(w, 0);
  w.src_list->setCurrentIndex(2);
  src_list_click(w);
  PtyBoard board;
  FirmataBoardPlay play;
  play.value = [](int64_t k, int) { return static_cast<int>(k % 1024); };
  board.play_firmata(play);
  w.port_list->setEditText(QString::fromStdString(board.path()));
  w.mnuBlock->trigger();
  std::vector<int> first_values;
  QTimer::singleShot(0, &w, [&] {
    w.store->click();
    for (int b = 0; b < blocks; ++b) {
      w.stim->click();
      first_values.push_back(static_cast<int>(w.s.raw_data(1, 0)));
      w.save->click();
    }
    w.halt->click();
    QApplication::quit();
  });
  QApplication::exec();
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  const std::vector<Frame> sent = board.frames_sent();
  const std::vector<Steady::time_point> written = board.written_at();
  std::vector<Steady::time_point> highs;
  for (const DigitalWrite& d : board.digital_writes())
    if (d.port == 1 && (d.levels & 0x20)) highs.push_back(d.at);
  std::vector<double> delay;
  for (size_t b = 0; b < highs.size() && b < first_values.size(); ++b) {
    // The marked frame: the last one with the block's first value written before the pulse.
    for (size_t k = std::min(sent.size(), written.size()); k-- > 0;)
      if (written[k] < highs[b] && sent[k].value[0] == first_values[b]) {
        delay.push_back(ms(highs[b] - written[k]));
        break;
      }
  }
  if (delay.empty()) return (void)std::printf("stimulus pulse: none seen\n");
  std::sort(delay.begin(), delay.end());
  std::printf(
      "Firmata stimulus pulse, block mode at 1 kHz, %zu blocks: marked frame written to pin high read "
      "by the board: min %.2f ms, median %.2f ms, max %.2f ms; jitter (max - min) %.2f ms\n",
      delay.size(), delay.front(), delay[delay.size() / 2], delay.back(), delay.back() - delay.front());
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const double seconds = qEnvironmentVariableIsEmpty("QUARVEL_DEVICE_SECONDS")
                             ? 20
                             : qEnvironmentVariable("QUARVEL_DEVICE_SECONDS").toDouble();
  std::printf("bench_device_record: %.0f s a case, platform %s\n", seconds,
              qPrintable(QApplication::platformName()));
  const double reference = empty_read_loop_cpu(seconds / 2);
  record(Case{"Serial lines, 1,000,000 baud", 1, "1000000", 1000}, seconds, reference);
  // 3 inputs of a Firmata board at 57600 baud fit at 2 ms at the fastest (9 bytes a frame).
  record(Case{"Firmata, 2 ms interval, 57600 baud", 2, "57600", 500}, seconds, reference);
  stimulus_jitter(20);
  return 0;
}
