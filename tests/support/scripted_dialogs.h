// Dialogs for tests, strict both ways: every dialog the program opens must have been expected
// (with the prompt or text the test names), and every expected dialog must come.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "ui/dialogs.h"

namespace quarvel::testing {

class ScriptedDialogs : public Dialogs {
 public:
  enum class Kind { Input, YesNo, SaveDiscardCancel, Warning, Open, Save, Filter, Calibration };
  struct Asked {
    Kind kind;
    QString prompt;  // prompt, message text or dialog title
    QString title;
    QString default_text;
    FileDialogRequest request;
    // The Filter dialog's proposal, rate and channels offered.
    FilterSettings filter_proposal = {};
    double rate_hz = 0;
    PerChannel<bool> recorded = {};
  };

  ~ScriptedDialogs() override;

  // Expect an input box with this prompt, answered with answer ("" = cancelled).
  void expect_input(const QString& prompt, const QString& answer);
  // Expect an input box whose prompt begins with prefix.
  void expect_input_starting(const QString& prefix, const QString& answer);
  void expect_yes_no(const QString& text, bool yes);
  void expect_save_discard_cancel(const QString& text, SaveAnswer answer);
  void expect_warning(const QString& text);
  // Expect a warning whose text begins with prefix.
  void expect_warning_starting(const QString& prefix);
  // Expect a file dialog (matched by title), answered with a path ("" = cancelled).
  void expect_open(const QString& title, const QString& path);
  void expect_save(const QString& title, const QString& path);
  // Expect the Filter dialog, answered with these settings (none = cancelled).
  void expect_filter(const std::optional<FilterSettings>& answer);

  // The next warning stays open this long in an event loop of its own, as a modal box the user
  // leaves open does, before it is answered.
  void hold_next_warning(int ms) { hold_ms_ = ms; }
  // Expect the calibration dialog: `fill` is handed what it opens with and returns the rows as a
  // person leaves them on OK (none: Cancel). Rows the real dialog would refuse fail the test.
  using CalibrationFill = std::function<std::optional<InputEntries>(const CalibrationRequest&)>;
  void expect_calibration(CalibrationFill fill);
  // What the calibration dialog was opened with last.
  const std::optional<CalibrationRequest>& calibration_request() const { return calibration_request_; }

  // Fails the running test if expected dialogs did not come; clears the expectations.
  void verify();
  const std::vector<Asked>& asked() const { return asked_; }
  bool pending() const { return !expected_.empty(); }

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
  struct Expected {
    Kind kind;
    QString match;
    QString answer;
    bool yes = false;
    bool prefix = false;
    SaveAnswer save_answer = SaveAnswer::Cancel;
    std::optional<FilterSettings> filter = std::nullopt;
  };
  const Expected* take(Kind kind, const QString& match);

  std::deque<Expected> expected_;
  Expected current_;
  std::vector<Asked> asked_;
  int hold_ms_ = 0;
  std::deque<CalibrationFill> fills_;  // of the calibration dialogs expected, in order
  std::optional<CalibrationRequest> calibration_request_;
};

}  // namespace quarvel::testing
