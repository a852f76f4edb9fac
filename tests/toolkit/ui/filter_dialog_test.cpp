// Guards the Filter dialog as a person fills it in with keys and clicks: the frequencies shown for
// the kind chosen, typed numbers (a decimal comma too), the channels that can be ticked, OK refusing
// settings the rate cannot take with the reason and staying open.
#include <gtest/gtest.h>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include "ui/filter_dialog.h"

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

  d.filter_kind->setFocus();
  for (int i = 0; i < 3; ++i) QTest::keyClick(d.filter_kind, Qt::Key_Down);
  ASSERT_EQ(d.filter_kind->currentText(), "Notch (band-stop)");
  EXPECT_FALSE(d.filter_corner->isVisible());
  EXPECT_TRUE(d.filter_centre->isVisible() && d.filter_width->isVisible());
  retype(d.filter_centre->lineEdit(), "60");
  retype(d.filter_order, "4");
  QTest::mouseClick(d.filter_channel[1], Qt::LeftButton);
  QTest::mouseClick(d.filter_channel[2], Qt::LeftButton);  // not recorded: cannot be ticked
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
  EXPECT_EQ(d.settings(), (FilterSettings{FilterKind::Notch, 4, 1, 0, 0, 16.5, 0.5, {true, false, false}}));
}
