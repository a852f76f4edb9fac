// Everything modal the program asks the user goes through this one interface: input boxes,
// Yes/No, Save/Discard/Cancel and warning message boxes, the open and save file dialogs and the
// Filter dialog and the calibration of the inputs. The window is given the real one; tests give it
// a scripted one.
#pragma once

#include <QString>
#include <optional>

#include "core/calibration.h"
#include "core/indexed.h"
#include "modes/filter_settings.h"

class QWidget;

namespace quarvel {

struct FileDialogRequest {
  QString filter;  // "description|pattern|description|pattern..." (a lone description is allowed)
  int filter_index = 1;
  QString title;
  QString file_name;
  QString initial_dir;
  QString default_ext;  // without the dot
};

enum class SaveAnswer { Save, Discard, Cancel };

// The calibration dialog's rows as it opens, and the converter value each input had last (none
// while no acquisition loop took one): its "Take" buttons put that value into a point.
struct CalibrationRequest {
  InputEntries rows;
  IndexedArray<std::optional<int16_t>, 1, kInputCount> current;
};

// The rows as the user left them and the calibrations they describe; every row is good
// (calibration_from_entry), since the dialog refuses to close on one that is not.
struct CalibrationAnswer {
  InputEntries rows;
  InputCalibrations calibrations;
};

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // The typed text; empty when cancelled.
  virtual QString input_box(const QString& prompt, const QString& title, const QString& default_text) = 0;
  // True for Yes.
  virtual bool yes_no(const QString& text, const QString& title) = 0;
  // Before work that was not saved is discarded. Escape and closing the box answer Cancel.
  virtual SaveAnswer save_discard_cancel(const QString& text, const QString& title) = 0;
  virtual void warning(const QString& text, const QString& title) = 0;
  // The chosen file's full path; empty when cancelled. A save dialog has already confirmed with
  // the user before it returns the name of a file that exists, and gives a name typed without an
  // extension that of the filter chosen (default_ext when the filter names several or none).
  virtual QString open_file(const FileDialogRequest& request) = 0;
  virtual QString save_file(const FileDialogRequest& request) = 0;
  // The filter to run over samples taken at rate_hz, the fields filled from proposal; only the
  // channels `recorded` marks can be ticked. Nothing when cancelled. The real dialog returns only
  // settings filter_refusal accepts (it says why it refuses others and stays open).
  virtual std::optional<FilterSettings> filter_settings(const FilterSettings& proposal, double rate_hz,
                                                        const PerChannel<bool>& recorded) = 0;
  // Names, units and calibrations of inputs 1..4; none when cancelled.
  virtual std::optional<CalibrationAnswer> calibration(const CalibrationRequest& request) = 0;
};

// The real dialogs, as Qt's modal dialogs over the given window.
class QtDialogs : public Dialogs {
 public:
  explicit QtDialogs(QWidget* parent = nullptr) : parent_(parent) {}
  void set_parent(QWidget* parent) { parent_ = parent; }

  QString input_box(const QString& prompt, const QString& title, const QString& default_text) override;
  bool yes_no(const QString& text, const QString& title) override;
  SaveAnswer save_discard_cancel(const QString& text, const QString& title) override;
  void warning(const QString& text, const QString& title) override;
  QString open_file(const FileDialogRequest& request) override;
  QString save_file(const FileDialogRequest& request) override;
  std::optional<FilterSettings> filter_settings(const FilterSettings& proposal, double rate_hz,
                                                const PerChannel<bool>& recorded) override;
  std::optional<CalibrationAnswer> calibration(const CalibrationRequest& request) override;

 private:
  QString run_file_dialog(const FileDialogRequest& request, bool save);
  QWidget* parent_;
};

// "Quarvel files (*.bin)|*.bin|Labtech files (*.prn)|*.prn" -> the toolkit's filter list
// ("Quarvel files (*.bin);;Labtech files (*.prn)").
QString toolkit_filter(const QString& filter);

}  // namespace quarvel
