// Guards Marks off and the text annotations: that Marks off takes exactly the selection and level
// marks off the screen and leaves the time cursor, that Insert, Enter, leaving and Delete move the
// twenty boxes between free and in use as the user expects, and that dragging a box keeps the
// grab point under the pointer without disturbing the surface's coordinates.
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>

#include "core/colour.h"
#include "measure/annotations.h"
#include "measure/marks.h"
#include "measure_fixture.h"
#include "ui/fonts.h"

using namespace quarvel;
using quarvel::testing::MeasureTest;

using Marks = MeasureTest;

TEST_F(Marks, TakeOffALoneFirstEdge) {
  load_continuous();
  const QImage frame = picture();
  press(2, 10);
  ASSERT_NE(picture(), frame);
  w->mnuMarksoff->trigger();
  EXPECT_EQ(w->s.sel_x1, -1);
  EXPECT_EQ(picture(), frame);
  // a second right press starts a new selection instead of drawing a box
  press(2, 30);
  EXPECT_EQ(w->s.sel_x1, 30);
  EXPECT_EQ(w->s.sel_x2, -1);
}

TEST_F(Marks, TakeOffLevelsAndSelectionButLeaveTheTimeCursor) {
  w->s.ch_max = {1000, 100, 1000};
  load_continuous();
  press(1, 20);
  const QImage with_cursor = picture();
  const QString readout = w->Label1->text();
  press(2, 10);
  press(2, 50);
  w->s.peak_mode = kTrue;
  press(1, 30, 100);
  ASSERT_EQ(w->s.level_y[1], 100);
  w->use_channel_scale(2);  // as plotting another channel last would leave it
  w->mnuMarksoff->trigger();
  EXPECT_EQ(w->s.level_y[1], kNoLevel);
  EXPECT_EQ(w->s.peak_mode, kFalse);
  EXPECT_EQ(w->s.sel_x1, -1);
  EXPECT_EQ(w->s.sel_x2, -1);
  EXPECT_EQ(picture(), with_cursor);
  EXPECT_EQ(w->s.cursor_x, 20);
  EXPECT_TRUE(w->Label1->isVisibleTo(w->disp));
  EXPECT_EQ(w->Label1->text(), readout);
  // with nothing left, a second Marks off changes nothing
  w->mnuMarksoff->trigger();
  EXPECT_EQ(picture(), with_cursor);
}

TEST_F(Marks, WithTheModeOnButNoLevelOnlyTheSelectionGoes) {
  load_continuous();
  const QImage frame = picture();
  press(2, 10);
  press(2, 50);
  w->s.peak_mode = kTrue;
  marks_off(*w);
  EXPECT_EQ(w->s.peak_mode, kTrue);
  EXPECT_EQ(w->s.sel_x1, -1);
  EXPECT_EQ(w->s.sel_x2, -1);
  EXPECT_EQ(picture(), frame);
}

class Texts : public MeasureTest {
 protected:
  void SetUp() override {
    MeasureTest::SetUp();
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
  }

  QLineEdit* insert() {
    w->mnuTextInsert->trigger();
    settle();
    return qobject_cast<QLineEdit*>(w->focusWidget());
  }

  static bool in_use(const QLineEdit* box) { return box->isEnabled() && box->isVisible(); }
  static QColor back(const QLineEdit* box) { return box->palette().color(QPalette::Base); }
  static QColor ink(const QLineEdit* box) { return box->palette().color(QPalette::Text); }

  // Where a real left click on a pixel column of the surface puts the time cursor.
  float cursor_after_click(int px) {
    QTest::mouseClick(w->disp, Qt::LeftButton, Qt::NoModifier, QPoint(px, 200));
    return w->s.cursor_x;
  }
};

TEST_F(Texts, InsertTakesTheFirstFreeBoxUntilAllTwentyAreInUse) {
  w->mnuTextInsert->trigger();
  EXPECT_FALSE(w->Text1[0]->isEnabled()) << "no box without data";

  load_continuous();
  const int edit_width = twips_to_pixels(1000, w->disp);
  for (int i = 0; i < 20; ++i) {
    QLineEdit* box = insert();
    ASSERT_EQ(box, w->Text1[i]);
    EXPECT_TRUE(in_use(box));
    EXPECT_EQ(box->geometry().topLeft(), QPoint(twips_to_pixels(1000, w->disp), 0));
    EXPECT_EQ(box->width(), edit_width);
    EXPECT_EQ(back(box), QColor(255, 255, 255));
    EXPECT_EQ(ink(box), QColor(0, 0, 0));
    EXPECT_EQ(w->s.text_sel, i);
    QTest::keyClicks(box, QString::number(i));
  }
  const QString before = w->Text1[19]->text();
  w->mnuTextInsert->trigger();
  settle();
  EXPECT_EQ(w->focusWidget(), w->Text1[19]) << "the 21st Insert does nothing";
  EXPECT_EQ(w->Text1[19]->text(), before);
  for (QLineEdit* box : w->Text1) EXPECT_TRUE(in_use(box));
}

TEST_F(Texts, EnterShowsTheTextOnTheDisplayShrunkToIt) {
  load_continuous();
  QLineEdit* box = insert();
  ASSERT_NE(box, nullptr);
  QTest::keyClicks(box, "P1");
  QTest::keyClick(box, Qt::Key_Return);
  settle();
  EXPECT_EQ(w->focusWidget(), w->disp);
  EXPECT_TRUE(in_use(box));
  EXPECT_EQ(box->text(), "P1");
  EXPECT_EQ(back(box), to_qcolor(kBlue));
  EXPECT_EQ(ink(box), QColor(255, 255, 255));
  const QFontMetrics fm(box->font());
  EXPECT_LT(box->width(), twips_to_pixels(1000, w->disp)) << "shrunk";
  EXPECT_GE(box->width(), fm.horizontalAdvance("P1") + 4) << "but the text fits";
  EXPECT_GE(box->height(), fm.height());
  // a long text widens it instead
  box->setFocus();
  box->setText("a rather long note on the second peak");
  w->add->setFocus();
  settle();
  EXPECT_GE(box->width(), fm.horizontalAdvance(box->text()) + 4);
}

TEST_F(Texts, ABoxLeftEmptyIsFreedAndTakenAgain) {
  load_continuous();
  QLineEdit* box = insert();
  ASSERT_EQ(box, w->Text1[0]);
  // opening a menu is not leaving the box
  QFocusEvent popup(QEvent::FocusOut, Qt::PopupFocusReason);
  QCoreApplication::sendEvent(box, &popup);
  EXPECT_TRUE(in_use(box));
  EXPECT_EQ(back(box), QColor(255, 255, 255));

  w->add->setFocus();
  settle();
  EXPECT_FALSE(box->isEnabled());
  EXPECT_FALSE(box->isVisible());
  EXPECT_EQ(insert(), w->Text1[0]);
}

TEST_F(Texts, DeleteFreesTheBoxThatLastHadTheFocus) {
  load_continuous();
  QLineEdit* first = insert();
  QTest::keyClicks(first, "a");
  QLineEdit* second = insert();
  QTest::keyClicks(second, "b");
  ASSERT_EQ(second, w->Text1[1]);
  first->setFocus();
  w->add->setFocus();  // the focus has moved on, Delete still means the first box
  settle();
  w->mnuTextDelete->trigger();
  settle();
  EXPECT_FALSE(first->isEnabled());
  EXPECT_FALSE(first->isVisible());
  EXPECT_TRUE(first->text().isEmpty());
  EXPECT_TRUE(in_use(second));
  EXPECT_EQ(insert(), w->Text1[0]);
}

TEST_F(Texts, ADropKeepsTheGrabPointUnderThePointer) {
  load_continuous();
  const float before = cursor_after_click(300);
  QLineEdit* box = insert();
  QTest::keyClicks(box, "note");
  QTest::keyClick(box, Qt::Key_Return);
  EXPECT_EQ(cursor_after_click(300), before) << "Insert leaves the surface's coordinates alone";

  const PixelMap m = w->disp->pixel_map();
  text_drop(*w, box, m.user_x(420), m.user_y(150));
  EXPECT_EQ(box->pos(), twips_to_pixels(1000, w->disp) * QPoint(1, 0)) << "no drop without a drag";

  begin_text_drag(*w, 0, QPoint(7, 5));
  emit w->disp->dropped(box, m.user_x(420), m.user_y(150));
  EXPECT_EQ(box->pos(), QPoint(413, 145));
  EXPECT_EQ(w->s.text_drag, kFalse);
  EXPECT_EQ(cursor_after_click(300), before) << "a drop leaves them alone too";
}

TEST_F(Texts, ALeftButtonMoveOverABoxDragsIt) {
  load_continuous();
  QLineEdit* box = insert();
  QTest::keyClicks(box, "note");
  QTest::keyClick(box, Qt::Key_Return);
  const double tpp = w->disp->twips_per_pixel();
  const auto move_over = [&](Qt::MouseButtons held, QPoint at) {
    QMouseEvent e(QEvent::MouseMove, at, box->mapToGlobal(at), Qt::NoButton, held, Qt::NoModifier);
    QCoreApplication::sendEvent(box, &e);
  };
  move_over(Qt::NoButton, QPoint(3, 3));
  move_over(Qt::LeftButton | Qt::RightButton, QPoint(3, 3));
  EXPECT_EQ(w->s.grab_x, 0) << "only the left button alone drags";
  // the headless platform ends a drag at once, without a drop: as a release outside the surface
  move_over(Qt::LeftButton, QPoint(6, 4));
  EXPECT_EQ(w->s.drag_box, 0);
  EXPECT_FLOAT_EQ(w->s.grab_x, 6.5 * tpp);
  EXPECT_FLOAT_EQ(w->s.grab_y, 4.5 * tpp);
  EXPECT_EQ(w->s.text_drag, kFalse);
  EXPECT_EQ(box->pos(), twips_to_pixels(1000, w->disp) * QPoint(1, 0));
}
