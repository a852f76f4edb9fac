// Guards the calibration dialog as a person works it with keys and the mouse: typing names,
// units and numbers, switching a row to two points, taking an input's converter value with its
// Take button, a refused row that keeps the dialog open with its message, Escape, and the names
// every control carries.
#include <gtest/gtest.h>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "ui/calibration_dialog.h"

using namespace quarvel;

namespace {

CalibrationRequest request() {
  CalibrationRequest r;
  for (int i = 1; i <= kInputCount; ++i) r.rows[i] = entry_of(default_calibration(i));
  r.current[1] = 512;  // only input 1 was sampled
  return r;
}

class Dialog : public ::testing::Test {
 protected:
  void SetUp() override {
    dlg = std::make_unique<CalibrationDialog>(request());
    dlg->show();
    dlg->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dlg.get()));
  }
  template <typename W>
  W* find(const QString& name) {
    return dlg->findChild<W*>(name);
  }
  // Clicks into a box and types text in place of what it held.
  void type(const QString& name, const QString& text) {
    auto* e = find<QLineEdit>(name);
    QTest::mouseClick(e, Qt::LeftButton);
    QTest::keyClick(e, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(e, text);
  }
  void click(const QString& name) { QTest::mouseClick(find<QPushButton>(name), Qt::LeftButton); }

  std::unique_ptr<CalibrationDialog> dlg;
};

}  // namespace

TEST_F(Dialog, TwoPointsWithATakenValueAndARefusedRow) {
  type("calib_name(1)", "EDA");
  type("calib_unit(1)", QString::fromUtf8("\u00b5S"));
  auto* mode = find<QComboBox>("calib_mode(1)");
  // Chosen with the arrow keys, as the window's tests choose from a list.
  mode->setFocus(Qt::TabFocusReason);
  QTest::keyClick(mode, Qt::Key_Down);
  ASSERT_EQ(mode->currentIndex(), 1);
  EXPECT_FALSE(find<QLineEdit>("calib_gain(1)")->isVisible()) << "the points replace gain and offset";

  click("calib_take1(1)");
  EXPECT_EQ(find<QLineEdit>("calib_x1(1)")->text(), "512");
  EXPECT_EQ(QApplication::focusWidget(), find<QLineEdit>("calib_y1(1)"))
      << "the physical value is typed next";
  QTest::keyClicks(QApplication::focusWidget(), "1.5");
  type("calib_x2(1)", "1023");
  type("calib_y2(1)", "5");
  EXPECT_FALSE(find<QPushButton>("calib_take1(2)")->isEnabled()) << "input 2 has no value to take";

  type("calib_gain(3)", "0");
  click("calib_ok");
  EXPECT_TRUE(dlg->isVisible()) << "a refused row keeps the dialog open";
  EXPECT_EQ(find<QLabel>("calib_message")->text(), "Input 3: the gain must not be 0.");

  type("calib_gain(3)", "2.5");
  click("calib_ok");
  EXPECT_EQ(dlg->result(), QDialog::Accepted);
  const CalibrationAnswer& a = dlg->answer();
  const double gain = 3.5 / 511;
  EXPECT_EQ(a.calibrations[1], (Calibration{"EDA", QString::fromUtf8("\u00b5S"), static_cast<float>(gain),
                                            static_cast<float>(1.5 - gain * 512)}));
  EXPECT_EQ(a.rows[1].x1, "512");
  EXPECT_EQ(a.calibrations[3].gain, 2.5f);
}

TEST_F(Dialog, EscapeCancelsAndEveryControlIsNamed) {
  for (QWidget* c : dlg->findChildren<QWidget*>()) {
    if (!c->objectName().startsWith("calib_")) continue;
    EXPECT_EQ(c->accessibleDescription(), c->objectName());
    if (c->objectName() != "calib_message") {
      EXPECT_FALSE(c->accessibleName().isEmpty()) << c->objectName().toStdString();
    }
  }
  type("calib_name(2)", "a name far too long");
  QTest::keyClick(dlg.get(), Qt::Key_Escape);
  EXPECT_EQ(dlg->result(), QDialog::Rejected);
  EXPECT_FALSE(dlg->isVisible());
}
