#include "ui/tick_timer.h"

namespace quarvel {

PreciseTickTimer::PreciseTickTimer() {
  timer_.setTimerType(Qt::PreciseTimer);
  QObject::connect(&timer_, &QTimer::timeout, [this] {
    if (on_tick) on_tick();
  });
}

void PreciseTickTimer::set_interval(int ms) {
  if (ms == timer_.interval()) return;
  timer_.setInterval(ms);
}

void PreciseTickTimer::set_enabled(bool on) {
  if (on) {
    if (!timer_.isActive()) timer_.start();
  } else {
    timer_.stop();
  }
}

}  // namespace quarvel
