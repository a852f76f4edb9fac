// Guards moving through loaded data without the buttons: keys pressed on the focused surface, the
// mouse wheel over it (Ctrl+wheel zooming around the pointer) and the scroll bar under it. Each
// must land on the view the page buttons and the Zoom menu would show, keep the focus on the
// surface, and leave the scroll bar showing where the view is.
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

#include "loaded_views.h"
#include "support/window_fixture.h"

using namespace quarvel;
using namespace quarvel::testing;

namespace {

class Browse : public WindowTest {
 protected:
  SharedState& s() { return w->s; }

  // The surface takes the focus the way a person gives it: a click into the status line, then Tab.
  void focus_surface() {
    activate();
    QTest::mouseClick(w->status, Qt::LeftButton);
    for (int i = 0; i < 80 && !w->disp->hasFocus(); ++i)
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_TRUE(w->disp->hasFocus());
  }

  void wheel(int angle, Qt::KeyboardModifiers mods = Qt::NoModifier, QPoint at = QPoint(500, 250)) {
    QWheelEvent e(QPointF(at), QPointF(w->disp->mapToGlobal(at)), QPoint(), QPoint(0, angle), Qt::NoButton,
                  mods, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w->disp, &e);
    settle();
  }

  QString first_label() { return printed(*w->disp).value(0); }
};

// 1800 samples of 0.1 s on screens of 8 s: a user width of 100, 80 samples on a screen.
struct KeyCase {
  Qt::Key key;
  float start_after;  // from a view starting at sample 400
  const char* label;  // the first time label of the new frame
};

class KeysOnContinuousFile : public Browse, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(KeysOnContinuousFile, MoveTheViewAndKeepTheFocus) {
  load_continuous_file(*w, 1800, 0.1f, 8);
  s().view_start = 400;
  focus_surface();
  place_cursor(*w);
  QTest::keyClick(w->disp, GetParam().key);
  EXPECT_EQ(s().view_start, GetParam().start_after);
  EXPECT_TRUE(redrawn(*w));
  EXPECT_EQ(first_label(), GetParam().label);
  EXPECT_TRUE(w->disp->hasFocus());
  EXPECT_EQ(w->view_scroll->value(), static_cast<int>(GetParam().start_after));
}

// A click on the curve sends the focus to Add (Enter adds the reading); the keys still page and
// move the view, and the focus stays on Add.
TEST_P(KeysOnContinuousFile, MoveTheViewAfterAClickOnTheCurve) {
  load_continuous_file(*w, 1800, 0.1f, 8);
  s().view_start = 400;
  activate();
  QTest::mouseClick(w->disp, Qt::LeftButton, {}, QPoint(500, 250));
  ASSERT_TRUE(w->add->hasFocus());
  QTest::keyClick(QApplication::focusWidget(), GetParam().key);
  EXPECT_EQ(s().view_start, GetParam().start_after);
  EXPECT_EQ(first_label(), GetParam().label);
  EXPECT_TRUE(w->add->hasFocus());
}

INSTANTIATE_TEST_SUITE_P(
    Keys, KeysOnContinuousFile,
    ::testing::Values(KeyCase{Qt::Key_PageDown, 440, "44.0"}, KeyCase{Qt::Key_PageUp, 360, "36.0"},
                      KeyCase{Qt::Key_Home, 0, "0.0"}, KeyCase{Qt::Key_End, 1720, "172.0"},
                      KeyCase{Qt::Key_Right, 408, "40.8"}, KeyCase{Qt::Key_Left, 392, "39.2"}));

TEST_F(Browse, KeysAtTheEndsOfAContinuousFileDrawNothing) {
  load_continuous_file(*w, 1800, 0.1f, 8);
  focus_surface();
  for (Qt::Key k : {Qt::Key_Home, Qt::Key_Left, Qt::Key_PageUp}) {
    place_cursor(*w);
    QTest::keyClick(w->disp, k);
    EXPECT_EQ(s().view_start, 0);
    EXPECT_FALSE(redrawn(*w)) << k;
  }
  QTest::keyClick(w->disp, Qt::Key_End);
  place_cursor(*w);
  QTest::keyClick(w->disp, Qt::Key_End);
  EXPECT_EQ(s().view_start, 1720);
  EXPECT_FALSE(redrawn(*w));
}

TEST_F(Browse, KeysStepThroughBlocks) {
  load_block_file(*w, 500, 3, 0.002f);
  focus_surface();
  const struct {
    Qt::Key key;
    int block;
  } steps[] = {{Qt::Key_Right, 2}, {Qt::Key_End, 3},  {Qt::Key_Right, 3},   {Qt::Key_PageUp, 2},
               {Qt::Key_Home, 1},  {Qt::Key_Left, 1}, {Qt::Key_PageDown, 2}};
  for (const auto& st : steps) {
    QTest::keyClick(w->disp, st.key);
    EXPECT_EQ(s().cur_block, st.block) << st.key;
    EXPECT_EQ(s().view_start, (st.block - 1) * 500.0f);
    EXPECT_EQ(w->status->text(), QStringLiteral("current curve: %1/3     averaged: 0").arg(st.block));
    EXPECT_TRUE(w->disp->hasFocus()) << "the next key pages on";
  }
}

TEST_F(Browse, KeysDoNothingInTheOverplotFormOrWithoutFocus) {
  load_continuous_file(*w, 1800, 0.1f, 8);
  s().view_start = 400;
  QTest::mouseClick(w->status, Qt::LeftButton);
  QTest::keyClick(w->status, Qt::Key_PageDown);
  EXPECT_EQ(s().view_start, 400) << "the status line has the focus";
  w->s.overplot_on = kTrue;
  focus_surface();
  QTest::keyClick(w->disp, Qt::Key_End);
  EXPECT_EQ(s().view_start, 400);
}

TEST_F(Browse, WheelPagesANotchAtATime) {
  load_continuous_file(*w, 1800, 0.1f, 8);
  s().view_start = 400;
  const struct {
    int angle;
    float start;
  } turns[] = {{-120, 440}, {120, 400}, {-240, 480}, {60, 480}, {60, 440}, {-30, 440}};
  for (const auto& t : turns) {
    wheel(t.angle);
    EXPECT_EQ(s().view_start, t.start) << t.angle;
  }
  EXPECT_EQ(w->view_scroll->value(), 440);
}

TEST_F(Browse, CtrlWheelZoomsAroundThePointer) {
  load_continuous_file(*w, 1800, 0.1f, 8);
  s().view_start = 400;
  const QPoint at(700, 200);
  auto under_pointer = [&] { return s().view_start + w->disp->pixel_map().user_x(at.x()); };
  const double before = under_pointer();
  wheel(120, Qt::ControlModifier, at);
  EXPECT_EQ(s().scr_length, 4) << "expanded";
  EXPECT_NEAR(under_pointer(), before, 1.0);
  wheel(-240, Qt::ControlModifier, at);
  EXPECT_EQ(s().scr_length, 16) << "compressed twice";
  EXPECT_NEAR(under_pointer(), before, 1.0);
  EXPECT_EQ(w->disp->scale_width(), 200);

  // The Zoom menu's procedure without an anchor keeps the start.
  const float start = s().view_start;
  w->mnuExpand->trigger();
  EXPECT_EQ(s().view_start, start);
  EXPECT_EQ(s().scr_length, 8);
}

TEST_F(Browse, ScrollBarShowsAndSetsThePosition) {
  FileShape shape;
  shape.frames = 1800;
  shape.interval_us = 100000;
  open_recording("long.bin", shape);
  EXPECT_EQ(s().scr_length, 256) << "the whole file on one screen";
  QScrollBar* bar = w->view_scroll;
  EXPECT_FALSE(bar->isVisible());
  for (int i = 0; i < 5; ++i) w->mnuExpand->trigger();
  ASSERT_EQ(s().scr_length, 8);
  ASSERT_TRUE(bar->isVisible());
  EXPECT_EQ(bar->maximum(), 1720);
  EXPECT_EQ(bar->pageStep(), 80);
  QTest::mouseClick(w->PgDn, Qt::LeftButton);
  EXPECT_EQ(bar->value(), 40);
  // A click on the bar right of its handle pages a screen on.
  place_cursor(*w);
  QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() - 30, bar->height() / 2));
  settle();
  EXPECT_EQ(s().view_start, 120);
  EXPECT_TRUE(redrawn(*w));
  EXPECT_EQ(first_label(), "12.0");
  FileShape blocks;
  blocks.frames = 1500;
  blocks.block_length = 500;
  open_recording("blocks.bin", blocks);
  ASSERT_TRUE(s().block_mode);
  EXPECT_FALSE(bar->isVisible()) << "blocks have no position bar";
}

}  // namespace
