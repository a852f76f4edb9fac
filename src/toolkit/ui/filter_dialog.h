// The Filter dialog: the kind of filter, its Butterworth order, its frequencies (a corner, the
// edges of a band, or a notch's centre, 50 or 60 Hz or typed, and width) and the channels it runs
// over. OK takes only settings the recording's rate allows; for others the dialog says why, as
// filter_refusal words it, and stays open.
#pragma once

#include <QDialog>
#include <array>

#include "core/indexed.h"
#include "modes/filter_settings.h"

class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace quarvel {

class FilterDialog : public QDialog {
  Q_OBJECT

 public:
  // The fields hold `proposal`; only the channels `recorded` marks can be ticked, and those the
  // proposal ticks of them are (all of them when it ticks none).
  FilterDialog(const FilterSettings& proposal, double rate_hz, const PerChannel<bool>& recorded,
               QWidget* parent = nullptr);

  // The settings as the fields give them now (frequencies read by frequency_from_text).
  FilterSettings settings() const;

  QComboBox* filter_kind;
  QSpinBox* filter_order;
  QLineEdit* filter_corner;
  QLineEdit* filter_low;
  QLineEdit* filter_high;
  QComboBox* filter_centre;  // 50 and 60 Hz to choose, any other typed
  QLineEdit* filter_width;
  std::array<QCheckBox*, 3> filter_channel;
  QLabel* filter_message;  // why the settings were refused; empty until then
  QPushButton* filter_ok;
  QPushButton* filter_cancel;

 public slots:
  void accept() override;

 private:
  // Only the frequencies the kind chosen takes are shown.
  void show_kind_rows();

  double rate_hz_;
  QFormLayout* form_;
};

}  // namespace quarvel
