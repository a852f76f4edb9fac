// The calibration dialog: a row per input with its name, its unit and its calibration, given
// either as gain and offset or as two points "converter value -> physical value"; a Take button
// beside each point's converter value puts in the input's last converter value, so an input can
// be calibrated against a known reference. OK refuses a row that is not good with a message in
// the dialog, which stays open; Cancel and Escape change nothing.
//
// Every control has its window name as object name and accessible description ("calib_gain(2)"
// for input 2); its accessible name is what it shows or says.
#pragma once

#include <QDialog>
#include <array>

#include "ui/dialogs.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStackedWidget;

namespace quarvel {

class CalibrationDialog : public QDialog {
 public:
  explicit CalibrationDialog(const CalibrationRequest& request, QWidget* parent = nullptr);

  // The rows as they stand and their calibrations; valid once the dialog was accepted.
  const CalibrationAnswer& answer() const { return answer_; }

  void accept() override;

 private:
  struct Row {
    QLineEdit* name;
    QLineEdit* unit;
    QComboBox* mode;  // 0 gain and offset, 1 two points
    QStackedWidget* pages;
    QLineEdit* gain;
    QLineEdit* offset;
    QLineEdit* x1;
    QLineEdit* y1;
    QLineEdit* x2;
    QLineEdit* y2;
    QPushButton* take1;
    QPushButton* take2;
  };
  CalibrationEntry entry(int input) const;

  std::array<Row, kInputCount> rows_{};
  QLabel* message_;
  CalibrationAnswer answer_;
};

}  // namespace quarvel
