// Recording pace on a real X display: three channels recorded for a minute (QUARVEL_PACE_SECONDS
// to change it) at 200 Hz and at 1 kHz through the Record and STOP buttons, the rate held counted
// as frames in the file over the wall time from the header (the moment the save dialog names the
// file) to the last write (the file's modification time), next to an empty loop that waits on the
// same kind of timer, started again after each tick, for the same time in the same run. Besides:
// the share of one core the program used while recording (and the X server, when started here),
// the repaints of the surface per second against the screen's refresh rate, and how much resident
// memory grew after the first second of the recording against the bytes it wrote.
//
// Without a DISPLAY it starts its own Xvfb, so the figures include the trips to a display server
// that an offscreen platform would not make.
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "app/main_window.h"
#include "app/services.h"
#include "app/settings.h"
#include "ui/surface.h"
#include "ui/tick_timer.h"

using namespace quarvel;

namespace {

using Steady = std::chrono::steady_clock;

double seconds_since(Steady::time_point t0) {
  return std::chrono::duration<double>(Steady::now() - t0).count();
}

// The system's wall clock, which file times are given in, in nanoseconds.
int64_t wall_clock_ns() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

// When the file was last written, on the same clock; 0 when it cannot be read.
int64_t last_write_ns(const QString& path) {
  struct stat st {};
  if (::stat(QFile::encodeName(path).constData(), &st) != 0) return 0;
  return static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}

double cpu_seconds() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
         static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

int64_t resident_bytes() {
  QFile f("/proc/self/statm");
  if (!f.open(QIODevice::ReadOnly)) return 0;
  const QList<QByteArray> fields = f.readAll().split(' ');
  return fields.size() > 1 ? fields[1].toLongLong() * sysconf(_SC_PAGESIZE) : 0;
}

// An Xvfb of our own on a free display number, unless DISPLAY names a display already.
class DisplayServer {
 public:
  DisplayServer() {
    if (!qEnvironmentVariableIsEmpty("DISPLAY")) {
      name_ = qgetenv("DISPLAY").toStdString();
      return;
    }
    int fds[2];
    if (pipe(fds) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      ::close(fds[0]);
      const int null = ::open("/dev/null", O_WRONLY);
      dup2(null, 1);
      dup2(null, 2);
      const std::string fd = std::to_string(fds[1]);
      execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
             static_cast<char*>(nullptr));
      _exit(127);
    }
    ::close(fds[1]);
    // Xvfb writes its display number once it accepts connections.
    char buf[32] = {};
    const ssize_t n = pid_ > 0 ? ::read(fds[0], buf, sizeof buf - 1) : 0;
    ::close(fds[0]);
    if (n <= 0) return;
    // Formatted, not ":" + std::to_string(...), which GCC 12 at -O3 wrongly warns about (-Wrestrict).
    char display[16];
    std::snprintf(display, sizeof display, ":%d", std::atoi(buf));
    name_ = std::string(display);
    setenv("DISPLAY", name_.c_str(), 1);
    started_ = true;
  }
  ~DisplayServer() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
    }
  }
  bool ok() const { return !name_.empty(); }
  bool started_here() const { return started_; }
  const std::string& name() const { return name_; }
  // Processor seconds the X server has used, when it is ours; -1 otherwise.
  double server_cpu_seconds() const {
    if (!started_) return -1;
    QFile f(QStringLiteral("/proc/%1/stat").arg(pid_));
    if (!f.open(QIODevice::ReadOnly)) return -1;
    const QByteArray all = f.readAll();
    const QList<QByteArray> fields = all.mid(all.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13) return -1;
    return static_cast<double>(fields[11].toLongLong() + fields[12].toLongLong()) / sysconf(_SC_CLK_TCK);
  }

 private:
  pid_t pid_ = -1;
  std::string name_;
  bool started_ = false;
};

// The save dialog names the file to record to; any other dialog is a failure of the run.
class SaveTo : public Dialogs {
 public:
  explicit SaveTo(QString path) : path_(std::move(path)) {}
  QString input_box(const QString& prompt, const QString&, const QString&) override {
    return unexpected(prompt);
  }
  bool yes_no(const QString& text, const QString&) override {
    unexpected(text);
    return false;
  }
  SaveAnswer save_discard_cancel(const QString& text, const QString&) override {
    unexpected(text);
    return SaveAnswer::Cancel;
  }
  void warning(const QString& text, const QString&) override { unexpected(text); }
  QString open_file(const FileDialogRequest& r) override { return unexpected(r.title); }
  // The header is written as soon as the name is given.
  std::optional<CalibrationAnswer> calibration(const CalibrationRequest&) override { return std::nullopt; }
  QString save_file(const FileDialogRequest&) override {
    asked_at_ns = wall_clock_ns();
    return path_;
  }
  std::optional<FilterSettings> filter_settings(const FilterSettings&, double,
                                                const PerChannel<bool>&) override {
    unexpected("Filter");
    return std::nullopt;
  }
  bool failed = false;
  int64_t asked_at_ns = 0;

 private:
  QString unexpected(const QString& text) {
    std::fprintf(stderr, "unexpected dialog: %s\n", qPrintable(text));
    failed = true;
    return {};
  }
  QString path_;
};

class PaintCount : public QObject {
 public:
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint) ++paints;
    return false;
  }
  int64_t paints = 0;
};

struct Figures {
  int64_t samples = 0;
  double wall = 0;  // what the rate is counted over
  double run = 0;   // what the processor share is counted over
  double cpu = 0;
  double server_cpu = -1;
  int64_t paints = 0;
  int64_t bytes = 0;
  int64_t rss_growth = 0;
  double held(int rate) const { return static_cast<double>(samples) / wall / rate; }
};

// The reference: nothing but waiting on the same kind of timer, one sample a tick, the timer
// started again after each sample.
Figures empty_loop(int rate, double seconds, const DisplayServer& x) {
  PreciseTickTimer t;
  bool ticked = false;
  t.on_tick = [&] { ticked = true; };
  t.set_interval(static_cast<int>(std::lround(1000.0 / rate)));
  Figures f;
  const double cpu0 = cpu_seconds(), x0 = x.server_cpu_seconds();
  const auto t0 = Steady::now();
  while (seconds_since(t0) < seconds) {
    t.set_enabled(true);
    ticked = false;
    while (!ticked) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    t.set_enabled(false);
    ++f.samples;
  }
  f.wall = seconds_since(t0);
  f.run = f.wall;
  f.cpu = cpu_seconds() - cpu0;
  if (x0 >= 0) f.server_cpu = x.server_cpu_seconds() - x0;
  return f;
}

// A recording made the way a person makes it: Measure mode, inputs 1..3, the rate and a file
// length typed in, Record, and STOP after `seconds`.
Figures recording(int rate, double seconds, const QString& path, const DisplayServer& x) {
  Services svc = system_services();
  auto dialogs = std::make_unique<SaveTo>(path);
  SaveTo* asked = dialogs.get();
  svc.dialogs = std::move(dialogs);
  svc.data_dir = QFileInfo(path).path();
  auto w = std::make_unique<MainWindow>(std::move(svc));
  w->resize(1280, 800);
  w->show();
  const auto shown = Steady::now();
  while (!(w->windowHandle() && w->windowHandle()->isExposed()) && seconds_since(shown) < 10)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  w->mnuMeasure->trigger();
  for (int i = 0; i < 3; ++i) {
    w->ch_list[static_cast<size_t>(i)]->setCurrentIndex(i + 1);
    ch_list_click(*w, i);
  }
  w->sampling_hz->setEditText(QString::number(rate));
  sampling_hz_lost_focus(*w);
  // Far longer than the run: what the recording holds in memory must not depend on it.
  w->file_lng->setEditText("100000");
  file_lng_change(*w);
  QCoreApplication::processEvents();

  PaintCount count;
  w->disp->installEventFilter(&count);
  int64_t rss_settled = 0, rss_peak = 0;
  QTimer rss;
  const auto t0 = Steady::now();
  QObject::connect(&rss, &QTimer::timeout, [&] {
    const int64_t now = resident_bytes();
    if (rss_settled == 0 && seconds_since(t0) >= 1) rss_settled = now;
    if (rss_settled > 0) rss_peak = std::max(rss_peak, now);
  });
  rss.start(250);
  QTimer::singleShot(static_cast<int>(seconds * 1000), Qt::PreciseTimer, w.get(), [&] { w->halt->click(); });
  Figures f;
  const double cpu0 = cpu_seconds(), x0 = x.server_cpu_seconds();
  const auto start = Steady::now();
  w->store->click();
  f.run = seconds_since(start);
  f.wall = static_cast<double>(last_write_ns(path) - asked->asked_at_ns) / 1e9;
  f.cpu = cpu_seconds() - cpu0;
  if (x0 >= 0) f.server_cpu = x.server_cpu_seconds() - x0;
  rss.stop();
  w->disp->removeEventFilter(&count);
  f.paints = count.paints;
  f.bytes = QFileInfo(path).size() - 128;
  f.samples = f.bytes / (2 * 4);
  f.rss_growth = rss_peak - rss_settled;
  if (asked->failed || asked->asked_at_ns == 0 || !(f.wall > 0)) f.samples = 0;
  return f;
}

std::string share(double cpu, double wall) {
  if (cpu < 0) return "n/a";
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.2f%%", 100 * cpu / wall);
  return buf;
}

}  // namespace

int main(int argc, char** argv) {
  const DisplayServer x;
  if (!x.ok()) {
    std::fprintf(stderr, "no X display: DISPLAY is not set and Xvfb did not start\n");
    return 1;
  }
  // The point is the real display server, whatever platform the other benchmarks are given.
  qputenv("QT_QPA_PLATFORM", "xcb");
  QApplication app(argc, argv);
  const double seconds = qEnvironmentVariableIsEmpty("QUARVEL_PACE_SECONDS")
                             ? 60.0
                             : qEnvironmentVariable("QUARVEL_PACE_SECONDS").toDouble();
  QTemporaryDir dir;
  std::printf("Recording pace: 3 channels for %.0f s on X display %s%s\n", seconds, x.name().c_str(),
              x.started_here() ? " (Xvfb started here)" : "");
  bool ok = true;
  for (const int rate : {200, 1000}) {
    const Figures ref = empty_loop(rate, seconds, x);
    const Figures rec = recording(rate, seconds, dir.filePath(QStringLiteral("pace%1.bin").arg(rate)), x);
    ok = ok && rec.samples > 0;
    std::printf("%5d Hz  rate held  recording %.4f (%lld frames in %.3f s)  empty loop %.4f  ratio %.4f\n",
                rate, rec.held(rate), static_cast<long long>(rec.samples), rec.wall, ref.held(rate),
                rec.held(rate) / ref.held(rate));
    std::printf("          CPU of one core  recording %s  empty loop %s  X server while recording %s\n",
                share(rec.cpu, rec.run).c_str(), share(ref.cpu, ref.run).c_str(),
                share(rec.server_cpu, rec.run).c_str());
    std::printf("          surface repaints %.1f per s (screen refresh %.0f Hz)\n",
                static_cast<double>(rec.paints) / rec.run,
                QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->refreshRate() : 0.0);
    std::printf(
        "          resident memory grew %.2f MiB after the first second while %.2f MiB went to the file"
        " (file length 100000 s)\n",
        rec.rss_growth / 1048576.0, rec.bytes / 1048576.0);
    std::fflush(stdout);
  }
  return ok ? 0 : 1;
}
