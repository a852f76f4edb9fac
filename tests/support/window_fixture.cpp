#include "support/window_fixture.h"

#include <QCoreApplication>
#include <QTest>
#include <QTimer>

#include "ui/surface.h"

namespace quarvel::testing {

void FastTimer::set_enabled(bool on) {
  enabled_ = on;
  if (!on) return;
  const int gen = ++generation_;
  QTimer::singleShot(0, [this, gen] {
    if (!enabled_ || gen != generation_) return;
    ++ticks;
    if (ticks > max_ticks) {
      ADD_FAILURE() << "the loop ran past " << max_ticks << " ticks";
      QCoreApplication::exit(1);
      std::abort();
    }
    if (before_tick) before_tick(ticks);
    if (on_tick) on_tick();
  });
}

void WindowTest::SetUp() {
  ASSERT_TRUE(data_dir.isValid());
  Services s;
  auto d = std::make_unique<ScriptedDialogs>();
  auto c = std::make_unique<MemoryClipboard>();
  auto t = std::make_unique<FastTimer>();
  dialogs = d.get();
  clipboard = c.get();
  timer = t.get();
  s.dialogs = std::move(d);
  s.clipboard = std::move(c);
  s.timer = std::move(t);
  s.data_dir = data_dir.path();
  s.end_program = [this] { ended = true; };
  w = std::make_unique<MainWindow>(std::move(s));
  w->disp->setFixedSize(1000, 500);
  w->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
  settle();
}

void WindowTest::TearDown() {
  if (dialogs) dialogs->verify();
  w.reset();
}

void WindowTest::settle() {
  for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}

}  // namespace quarvel::testing
