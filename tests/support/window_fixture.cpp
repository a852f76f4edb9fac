#include "support/window_fixture.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include "datafile/bin_format.h"
#include "ui/surface.h"

namespace quarvel::testing {

void FastTimer::set_enabled(bool on) {
  enabled_ = on;
  if (!on || held) return;
  const int gen = ++generation_;
  QTimer::singleShot(0, &context_, [this, gen] {
    if (!enabled_ || gen != generation_) return;
    ++ticks;
    if (ticks > max_ticks) {
      ADD_FAILURE() << "the loop ran past " << max_ticks << " ticks";
      QCoreApplication::exit(1);
      std::abort();
    }
    if (clock) clock->t += int64_t{interval_} * 1000 * 1000;
    if (before_tick) before_tick(ticks);
    if (on_tick) on_tick();
  });
}

void WindowTest::SetUp() {
  ASSERT_TRUE(data_dir.isValid());
  build_window();
}

void WindowTest::rebuild_window() {
  dialogs->verify();
  w->close();
  w.reset();
  build_window();
}

void WindowTest::build_window() {
  Services s;
  auto d = std::make_unique<ScriptedDialogs>();
  auto c = std::make_unique<MemoryClipboard>();
  auto t = std::make_unique<FastTimer>();
  auto k = std::make_unique<HandClock>();
  t->clock = k.get();
  dialogs = d.get();
  clipboard = c.get();
  timer = t.get();
  clock = k.get();
  s.dialogs = std::move(d);
  s.clipboard = std::move(c);
  s.timer = std::move(t);
  s.clock = std::move(k);
  s.data_dir = data_dir.path();
  s.end_program = [this] { ended = true; };
  s.settings = make_settings();
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

QByteArray recording_bytes(const FileShape& shape) {
  BinHeader h;
  h.channel_count = static_cast<int16_t>(shape.channels);
  for (int c = 1; c <= shape.channels; ++c) h.ch_source[c] = static_cast<int16_t>(c);
  h.block_mode = Flag(shape.block_length > 0).stored();
  h.block_length = shape.block_length > 0 ? shape.block_length : -1;
  h.stim_count = 1;
  h.interval_us = shape.interval_us;
  QByteArray bytes = encode_bin_header(h);
  std::vector<int16_t> samples(static_cast<size_t>(shape.channels));
  for (int32_t i = 0; i < shape.frames; ++i) {
    for (int c = 1; c <= shape.channels; ++c) samples[static_cast<size_t>(c - 1)] = shape.sample(c, i);
    append_frame(bytes, samples, shape.marker(i));
  }
  return bytes;
}

void WindowTest::activate() {
  w->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
}

void WindowTest::type_into(QComboBox* box, const QString& text, Qt::Key leave) {
  activate();
  ASSERT_TRUE(box->isVisible() && box->isEnabled()) << box->objectName().toStdString();
  QTest::mouseClick(box->lineEdit(), Qt::LeftButton);
  ASSERT_TRUE(box->hasFocus()) << box->objectName().toStdString();
  QTest::keyClick(box->lineEdit(), Qt::Key_A, Qt::ControlModifier);
  QTest::keyClicks(box->lineEdit(), text);
  QTest::keyClick(QApplication::focusWidget(), leave);
  settle();
}

void WindowTest::choose_item(QComboBox* box, int index) {
  activate();
  box->setFocus(Qt::TabFocusReason);
  while (box->currentIndex() != index) {
    const int before = box->currentIndex();
    QTest::keyClick(box, box->currentIndex() < index ? Qt::Key_Down : Qt::Key_Up);
    ASSERT_NE(box->currentIndex(), before) << box->objectName().toStdString();
  }
  settle();
}

void WindowTest::visit(QWidget* control) {
  activate();
  QWidget* target = control;
  if (auto* box = qobject_cast<QComboBox*>(control); box && box->isEditable()) target = box->lineEdit();
  QTest::mouseClick(target, Qt::LeftButton);
  ASSERT_TRUE(control->hasFocus()) << control->objectName().toStdString();
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  settle();
}

QString WindowTest::data_path(const QString& name) const {
  return QDir(data_dir.path()).filePath(name);
}

QString WindowTest::open_recording(const QString& name, const FileShape& shape) {
  const QString path = data_path(name);
  QFile f(path);
  EXPECT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(recording_bytes(shape));
  f.close();
  dialogs->expect_open("Open data file", path);
  w->mnuOpen->trigger();
  settle();
  return path;
}

}  // namespace quarvel::testing
