// Guards the mouse measurement on the plotting surface: where the time cursor may go, what the
// readout says and where it sits, that drags and selections leave exactly their own marks on
// the screen, that auto-peak mode turns presses into threshold levels, and that nothing happens
// without data.
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>

#include "measure/auto_peaks.h"
#include "measure/cursor.h"
#include "measure/readout.h"
#include "measure_fixture.h"

using namespace quarvel;
using quarvel::testing::MeasureTest;

// --- the arithmetic, without a window

TEST(CursorClamp, HoldsTheCursorInsideTheDataInOrder) {
  // left of the axis, right margin, end of the block, end of the data
  EXPECT_EQ(clamp_cursor_x(-3, 100, false, -1, 1800, 0), 0);
  EXPECT_EQ(clamp_cursor_x(86, 100, false, -1, 1800, 0), 80);
  EXPECT_EQ(clamp_cursor_x(110, 150, true, 100, 300, 100), 100);
  EXPECT_EQ(clamp_cursor_x(99.5, 150, true, 100, 300, 100), 99.5);
  EXPECT_EQ(clamp_cursor_x(70, 100, false, -1, 1800, 1750), 49);
  // the last sample wins over the left clamp when the view starts past it
  EXPECT_EQ(clamp_cursor_x(-3, 100, false, -1, 10, 20), -11);
}

TEST(CursorReadout, TimeTextsCarryTheUnitWithoutABlankOfTheirOwn) {
  EXPECT_EQ(time_text(1.5, " s"), "1.50 s");
  EXPECT_EQ(time_text(250, "ms"), "250.00ms");
  EXPECT_EQ(time_text(0.25, " s"), "0.25 s");
  // block views count inside the sweep, continuous views from the start of the data
  EXPECT_DOUBLE_EQ(readout_time(true, 25, 100, 1000, 125), 250);
  EXPECT_DOUBLE_EQ(readout_time(false, 15, 100, 8, 100), 11.5);
}

TEST(CursorReadout, ReadsSinglesAverageOrNothing) {
  SharedState s;
  s.current_ch = 2;
  s.block_mode = kTrue;  // 8 s per screen of W = 100
  s.view_start = 10;
  s.block_length = 20;
  s.work_data.redim(2, 39);
  s.work_data(2, 25) = 12.3f;
  s.ave_data.redim(2, 19);
  s.ave_data(2, 15) = -4.25f;
  s.ave_data(2, 19) = 7;
  EXPECT_EQ(readout_text(s, 15, 100, ReadoutSource::Single), "1.50 s, 12.3");
  EXPECT_EQ(readout_text(s, 15, 100, ReadoutSource::Average), "1.50 s, -4.25");
  EXPECT_EQ(readout_text(s, 15, 100, ReadoutSource::TimeOnly), "1.50 s");
  EXPECT_EQ(readout_text(s, 20, 100, ReadoutSource::Average), "2.00 s, 7.0") << "the last averaged sample";
}

TEST(CursorReadout, SamplesAreNearestAndNeverOutsideTheArrays) {
  SampleArray a;
  a.redim(1, 9);
  for (int i = 0; i < 10; ++i) a(1, i) = static_cast<float>(i * 10);
  EXPECT_EQ(sample_at(a, 1, 2.5), 20) << "ties go to the even sample";
  EXPECT_EQ(sample_at(a, 1, 3.5), 40);
  EXPECT_EQ(sample_at(a, 1, 10), 90) << "one past the end reads the last sample";
  EXPECT_EQ(sample_at(a, 1, -1), 0);
  EXPECT_EQ(sample_at(a, 2, 1), 0) << "a channel without samples reads 0";
  EXPECT_EQ(average_at(a, 1, 8, 8), 70) << "held inside the averaged block";
  EXPECT_EQ(average_at(a, 1, 30, 40), 90) << "held inside the array";
  EXPECT_EQ(sample_at(SampleArray{}, 1, 0), 0);
}

TEST(CursorReadout, LabelGoesToTheSideWithMoreRoom) {
  const LabelPlace right = label_place(39.9, 120, 10);
  EXPECT_FALSE(right.right_aligned);
  EXPECT_DOUBLE_EQ(right.left, 39.9 + 2);
  const LabelPlace left = label_place(48, 120, 10);  // exactly 0.4 W
  EXPECT_TRUE(left.right_aligned);
  EXPECT_DOUBLE_EQ(left.left, 48 - 10 - 2);
}

// --- on the window

namespace {

// Whether the pixel differs from the same pixel of another picture.
bool changed(const QImage& a, const QImage& b, int x, int y) {
  return a.pixelColor(x, y) != b.pixelColor(x, y);
}

}  // namespace

using Cursor = MeasureTest;

TEST_F(Cursor, PressesAreIgnoredWithoutData) {
  w->del->setFocus();
  const QImage before = picture();
  press(1, 20);
  press(2, 20);
  move(1, 30);
  EXPECT_EQ(w->s.cursor_x, -1);
  EXPECT_EQ(w->s.sel_x1, -1);
  EXPECT_FALSE(w->Label1->isVisibleTo(w->disp));
  EXPECT_EQ(picture(), before);
  EXPECT_EQ(w->focusWidget(), w->del);
}

TEST_F(Cursor, PressPositionsAreClamped) {
  load_continuous();
  press(1, -5);
  EXPECT_EQ(w->s.cursor_x, 0) << "left of the time axis";
  press(1, 86);
  EXPECT_EQ(w->s.cursor_x, 80) << "in the right margin";
  w->s.view_start = 1750;
  draw_frame(*w);
  press(1, 70);
  EXPECT_EQ(w->s.cursor_x, 49) << "the last sample of the data";

  load_blocks();
  w->disp->set_scale_width(150);  // zoomed out: the block ends before the screen does
  draw_frame(*w);
  press(1, 110);
  EXPECT_EQ(w->s.cursor_x, 100) << "the end of the block";
}

TEST_F(Cursor, ReadoutInTheContinuousView) {
  load_continuous();
  w->s.work_data(1, 15) = 12.3f;
  w->del->setFocus();
  press(1, 15);
  EXPECT_EQ(w->Label1->text(), "1.50 s, 12.3");
  EXPECT_TRUE(w->Label1->isVisibleTo(w->disp));
  EXPECT_EQ(w->focusWidget(), w->add);
  // later pages count on from the start of the data
  w->s.view_start = 100;
  draw_frame(*w);
  w->s.work_data(1, 115) = -3;
  press(1, 15);
  EXPECT_EQ(w->Label1->text(), "11.50 s, -3.0");
}

TEST_F(Cursor, ReadoutInTheBlockAverageAndOverplotViews) {
  load_blocks();
  press(1, 25);
  EXPECT_EQ(w->Label1->text(), "250.00ms, 1060.0") << "sample 25 of the second block";
  // the average view reads the average; at the end of the block its last sample
  w->s.curve_choice = CurveChoice::Average;
  press(1, 25);
  EXPECT_EQ(w->Label1->text(), "250.00ms, 12.5");
  press(1, 100);
  EXPECT_EQ(w->Label1->text(), "1000.00ms, 49.5");
  w->s.curve_choice = CurveChoice::SingleAverage;
  press(1, 25);
  EXPECT_EQ(w->Label1->text(), "250.00ms, 1060.0") << "single/average reads the single curve";
  // overplot shows the time alone
  w->s.overplot_on = kTrue;
  w->s.scr_length = 1;
  w->s.scr_factor = 1;
  w->s.unit_text[0] = " s";
  press(1, 25);
  EXPECT_EQ(w->Label1->text(), "0.25 s");
}

TEST_F(Cursor, LabelSitsBesideTheCursor) {
  load_continuous();
  const double gap = 100.0 / 60;
  press(1, 39);
  PixelMap m = w->disp->pixel_map();
  EXPECT_EQ(w->Label1->x(), m.pixel_x(39 + gap));
  EXPECT_TRUE(w->Label1->alignment() & Qt::AlignLeft);
  EXPECT_GE(w->Label1->width(), w->Label1->fontMetrics().horizontalAdvance(w->Label1->text()))
      << "sized to its text";
  press(1, 40);  // exactly 0.4 W: to the left, right-aligned
  m = w->disp->pixel_map();
  EXPECT_TRUE(w->Label1->alignment() & Qt::AlignRight);
  EXPECT_NEAR(w->Label1->x() + w->Label1->width(), m.px_x(40 - gap), 1.0);
}

TEST_F(Cursor, DragLeavesExactlyOneCursorLine) {
  load_continuous();
  press(1, 10);
  move(1, 20);
  move(1, 30);
  move(0, 50);  // no button: nothing
  move(2, 60);  // right button dragged: nothing
  move(3, 70);  // both: nothing
  EXPECT_EQ(w->s.cursor_x, 30);
  EXPECT_EQ(w->Label1->text(), "3.00 s, 7.5");
  const QImage dragged = picture();
  const QImage frame = fresh_frame();
  const PixelMap m = w->disp->pixel_map();
  const int top = m.pixel_y(w->s.amp_axis_top), bottom = m.pixel_y(w->s.time_axis_y);
  const int mid = (top + bottom) / 2;
  EXPECT_TRUE(changed(dragged, frame, m.pixel_x(30), mid));
  EXPECT_TRUE(changed(dragged, frame, m.pixel_x(30), top + 1));
  EXPECT_TRUE(changed(dragged, frame, m.pixel_x(30), bottom - 1));
  EXPECT_FALSE(changed(dragged, frame, m.pixel_x(30), top - 3)) << "the line starts at the top of the band";
  EXPECT_FALSE(changed(dragged, frame, m.pixel_x(30), bottom + 3)) << "and ends at the time axis";
  // everything else is the fresh frame: with the one line inverted again the pictures agree
  QImage restored = dragged;
  for (int y = 0; y < restored.height(); ++y)
    if (changed(dragged, frame, m.pixel_x(30), y))
      restored.setPixelColor(m.pixel_x(30), y, frame.pixelColor(m.pixel_x(30), y));
  EXPECT_EQ(restored, frame);
}

TEST_F(Cursor, RealMouseEventsPlaceAndDragTheCursor) {
  load_continuous();
  const QImage frame = picture();
  const PixelMap m = w->disp->pixel_map();
  const int row = m.pixel_y(0);
  QTest::mousePress(w->disp, Qt::LeftButton, Qt::NoModifier, QPoint(300, row));
  EXPECT_NEAR(w->s.cursor_x, m.user_x(300), 1e-4);
  QMouseEvent drag(QEvent::MouseMove, QPointF(500, row), w->disp->mapToGlobal(QPointF(500, row)),
                   Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(w->disp, &drag);
  QTest::mouseRelease(w->disp, Qt::LeftButton, Qt::NoModifier, QPoint(500, row));
  EXPECT_NEAR(w->s.cursor_x, m.user_x(500), 1e-4);
  const QImage now = picture();
  EXPECT_FALSE(changed(now, frame, 300, row));
  EXPECT_TRUE(changed(now, frame, 500, row));
}

TEST_F(Cursor, EveryPressReappliesTheScaleOfTheCurrentChannel) {
  load_continuous();
  w->s.ch_max = {1000, 100, 1000};
  w->s.current_ch = 2;
  const QImage frame = fresh_frame();  // channel 2: R = 200
  w->use_channel_scale(1);             // as plotting channel 1 last would leave it
  press(1, 40);
  EXPECT_DOUBLE_EQ(w->disp->scale_height(), -250);
  EXPECT_DOUBLE_EQ(w->disp->scale_top(), 200 * 0.475 / 0.8);
  const PixelMap m = w->disp->pixel_map();
  const QImage now = picture();
  EXPECT_TRUE(changed(now, frame, m.pixel_x(40), m.pixel_y(100) + 1)) << "from the top of channel 2's band";
  EXPECT_FALSE(changed(now, frame, m.pixel_x(40), m.pixel_y(100) - 3));
}

TEST_F(Cursor, RightPressesMarkOneEdgeThenABoxWhoseSecondEdgeMoves) {
  load_continuous();
  w->del->setFocus();
  const QImage frame = picture();
  press(2, 10);
  EXPECT_EQ(w->s.sel_x1, 10);
  EXPECT_EQ(w->s.sel_x2, -1);
  EXPECT_EQ(w->focusWidget(), w->add);
  press(2, 30);
  press(2, 20);
  EXPECT_EQ(w->s.sel_x1, 10);
  EXPECT_EQ(w->s.sel_x2, 20);
  EXPECT_EQ(w->s.cursor_x, -1) << "the selection leaves the time cursor alone";
  const QImage marked = picture();

  // the same marks drawn once on a fresh frame: the first edge and one box from 10 to 20
  Surface& d = *w->disp;
  const double top = d.scale_top(), bottom = d.scale_top() + d.scale_height();
  EXPECT_EQ(frame, fresh_frame());
  invert_line(d, 10, top, 10, bottom);
  invert_box(d, 10, top, 20, bottom);
  EXPECT_EQ(marked, picture());
  const PixelMap m = d.pixel_map();
  EXPECT_TRUE(changed(marked, frame, m.pixel_x(20), 250)) << "the box's second edge";
  EXPECT_FALSE(changed(marked, frame, m.pixel_x(30), 250)) << "no trace of the edge at 30";
  EXPECT_FALSE(changed(marked, frame, m.pixel_x(15), 250)) << "the box is an outline";
}

TEST_F(Cursor, SelectionsCountFromTheStartOfTheData) {
  load_continuous();
  w->s.view_start = 500;
  draw_frame(*w);
  press(2, 10);
  press(2, 20);
  EXPECT_EQ(w->s.sel_x1, 510);
  EXPECT_EQ(w->s.sel_x2, 520);
}

TEST_F(Cursor, RightAndMiddlePressesInTheBlockViewOnlyMoveTheFocus) {
  load_blocks();
  const QImage frame = picture();
  w->del->setFocus();
  press(2, 30);
  EXPECT_EQ(w->s.sel_x1, -1);
  EXPECT_EQ(w->focusWidget(), w->add);
  w->del->setFocus();
  press(4, 30);
  EXPECT_EQ(w->focusWidget(), w->add);
  EXPECT_EQ(picture(), frame);
  EXPECT_EQ(w->s.cursor_x, -1);
}

TEST_F(Cursor, AutoPeakModePlacesTheLevelPairInsteadOfTheCursor) {
  load_continuous();
  press(2, 10);
  press(2, 50);
  const QImage selected = picture();
  w->s.peak_mode = kTrue;
  w->del->setFocus();
  press(1, 30, 100);
  EXPECT_EQ(w->s.level_y[1], 100);
  EXPECT_EQ(w->s.cursor_x, -1);
  EXPECT_EQ(w->focusWidget(), w->del) << "a level press keeps the focus";
  const PixelMap m = w->disp->pixel_map();
  const double gap = 2500.0 / 8;
  QImage now = picture();
  EXPECT_TRUE(changed(now, selected, m.pixel_x(30), m.pixel_y(100)));
  EXPECT_TRUE(changed(now, selected, m.pixel_x(30), m.pixel_y(100 + gap)));
  EXPECT_FALSE(changed(now, selected, m.pixel_x(60), m.pixel_y(100))) << "the levels span the selection only";

  // a right press and a left drag move the pair; the band holds it
  press(2, 30, 5000);
  EXPECT_EQ(w->s.level_y[1], 1000);
  move(1, 30, -4000);
  EXPECT_EQ(w->s.level_y[1], -1000);
  now = picture();
  EXPECT_FALSE(changed(now, selected, m.pixel_x(30), m.pixel_y(100))) << "the old pair is gone";
  EXPECT_TRUE(changed(now, selected, m.pixel_x(30), m.pixel_y(-1000)));
  EXPECT_EQ(w->s.sel_x2, 50) << "presses in the mode never move the selection";
  erase_level(*w);
  EXPECT_EQ(picture(), selected);
}

TEST_F(Cursor, MovingTheSecondEdgeRemovesAShownLevel) {
  load_continuous();
  press(2, 10);
  press(2, 50);
  w->s.peak_mode = kTrue;
  press(1, 30, 200);
  w->s.peak_mode = kFalse;
  press(2, 30);
  EXPECT_EQ(w->s.level_y[1], kNoLevel);
  const QImage marked = picture();
  Surface& d = *w->disp;
  const double top = d.scale_top(), bottom = d.scale_top() + d.scale_height();
  fresh_frame();
  invert_line(d, 10, top, 10, bottom);
  invert_box(d, 10, top, 30, bottom);
  EXPECT_EQ(marked, picture());
}
