#include "progress_report.h"

#include <unistd.h>

namespace quarvel {

namespace {
constexpr qint64 kQuietMs = 1000;  // a file done sooner needs no progress
}

ProgressReport::ProgressReport(const QString& name, std::FILE* out, bool enabled)
    : name_(name), out_(out), enabled_(enabled && out != nullptr), terminal_(out && ::isatty(::fileno(out))) {
  clock_.start();
}

ProgressReport::~ProgressReport() {
  end_line();
}

ReadProgress ProgressReport::stage(const QString& what) {
  return [this, what](int percent) { show(what, percent); };
}

void ProgressReport::show(const QString& what, int percent) {
  if (!enabled_ || clock_.elapsed() < kQuietMs) return;
  if (what != last_stage_) {
    end_line();
    last_stage_ = what;
    last_tenth_ = -1;
  }
  const QByteArray text = QStringLiteral("%1: %2 %3%").arg(name_, what).arg(percent).toLocal8Bit();
  if (terminal_) {
    std::fprintf(out_, "\r%s", text.constData());
    open_line_ = true;
  } else if (percent / 10 != last_tenth_) {
    last_tenth_ = percent / 10;
    std::fprintf(out_, "%s\n", text.constData());
  }
  std::fflush(out_);
}

void ProgressReport::end_line() {
  if (!open_line_) return;
  std::fputc('\n', out_);
  std::fflush(out_);
  open_line_ = false;
}

}  // namespace quarvel
