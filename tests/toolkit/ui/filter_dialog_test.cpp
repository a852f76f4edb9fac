// Guards the Filter dialog as a person fills it in with keys and clicks: the frequencies shown for
// the kind chosen, typed numbers (a decimal comma too), the channels that can be ticked, OK refusing
// settings the rate cannot take with the reason and staying open; and Cancel and Escape in the
// progress window.
#include <gtest/gtest.h>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include "ui/filter_dialog.h"
#include "ui/progress_window.h"

using namespace quarvel;

namespace {

// Clicks into a box and types text in place of what it held.
void retype(QWidget* box, const QString& text) {
  QTest::mouseClick(box, Qt::LeftButton);
  QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClicks(box, text);
}

}  // namespace

TEST(FilterDialog, TakesWhatIsTypedAndRefusesWhatTheRateCannotTake) {
  const FilterSettings proposal{.kind = FilterKind::LowPass, .corner_hz = 1, .centre_hz = 50, .width_hz = 2};
  FilterDialog d(proposal, 100, {true, true, false});
  d.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
  EXPECT_TRUE(d.filter_corner->isVisible());
  EXPECT_FALSE(d.filter_centre->isVisible());
  EXPECT_FALSE(d.filter_channel[2]->isEnabled());

  d.filter_kind->setFocus();
  for (int i = 0; i < 3; ++i) QTest::keyClick(d.filter_kind, Qt::Key_Down);
  ASSERT_EQ(d.filter_kind->currentText(), "Notch (band-stop)");
  EXPECT_FALSE(d.filter_corner->isVisible());
  EXPECT_TRUE(d.filter_centre->isVisible() && d.filter_width->isVisible());
  retype(d.filter_centre->lineEdit(), "60");
  retype(d.filter_order, "4");
  QTest::mouseClick(d.filter_channel[1], Qt::LeftButton);
  QTest::mouseClick(d.filter_channel[2], Qt::LeftButton);
  QTest::mouseClick(d.filter_ok, Qt::LeftButton);
  EXPECT_TRUE(d.isVisible()) << "refused settings keep the dialog open";
  EXPECT_EQ(d.filter_message->text(),
            "A notch 2 Hz wide at 60 Hz reaches from 59 to 61 Hz; it must lie between 0 Hz and half the "
            "sampling rate (50 Hz).");

  retype(d.filter_centre->lineEdit(), "16,5");
  retype(d.filter_width, "0.5 Hz");
  QTest::mouseClick(d.filter_ok, Qt::LeftButton);
  EXPECT_FALSE(d.isVisible());
  EXPECT_EQ(d.result(), QDialog::Accepted);
  EXPECT_EQ(d.settings(), (FilterSettings{.kind = FilterKind::Notch,
                                          .order = 4,
                                          .corner_hz = 1,
                                          .centre_hz = 16.5,
                                          .width_hz = 0.5,
                                          .channels = {true, false, false}}));
}

TEST(ProgressWindow, CancelAndEscapeAskToStop) {
  ProgressWindow p;
  for (const bool by_key : {false, true}) {
    p.show_cancellable();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&p));
    EXPECT_FALSE(p.cancel_requested());
    if (by_key) {
      QTest::keyClick(&p, Qt::Key_Escape);
    } else {
      QTest::mouseClick(p.cancel, Qt::LeftButton);
    }
    EXPECT_TRUE(p.cancel_requested()) << by_key;
    p.hide();
  }
  p.show_modeless();
  EXPECT_FALSE(p.cancel->isVisible());
}
