#include "app/first_picture_report.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QTimer>
#include <QWidget>
#include <ctime>

namespace quarvel {

namespace {

constexpr char kVariable[] = "QUARVEL_FIRST_PICTURE_REPORT";

QByteArray peak_resident_kb() {
  QFile status("/proc/self/status");
  if (!status.open(QIODevice::ReadOnly)) return "0";
  for (const QByteArray& line : status.readAll().split('\n'))
    if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').value(0);
  return "0";
}

void report() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  const qint64 ns = static_cast<qint64>(now.tv_sec) * 1000000000 + now.tv_nsec;
  QFile out(QString::fromLocal8Bit(qgetenv(kVariable)));
  if (out.open(QIODevice::WriteOnly | QIODevice::Truncate))
    out.write(QByteArray::number(ns) + ' ' + peak_resident_kb() + '\n');
  QCoreApplication::exit(0);
}

// Reports once the paint event it sees has been handled, then removes itself.
class PaintWatch : public QObject {
 public:
  explicit PaintWatch(QWidget* w) : QObject(w) { w->installEventFilter(this); }
  bool eventFilter(QObject* watched, QEvent* e) override {
    if (e->type() == QEvent::Paint) {
      watched->removeEventFilter(this);
      QTimer::singleShot(0, [] { report(); });
      deleteLater();
    }
    return false;
  }
};

}  // namespace

bool first_picture_report_wanted() {
  return !qEnvironmentVariableIsEmpty(kVariable);
}

void report_after_next_paint(QWidget* surface) {
  if (!first_picture_report_wanted() || !surface) return;
  new PaintWatch(surface);
  surface->update();
}

}  // namespace quarvel
