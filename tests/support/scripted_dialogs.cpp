#include "support/scripted_dialogs.h"

#include <gtest/gtest.h>
#include <QEventLoop>
#include <QTimer>

namespace quarvel::testing {

static const char* kind_name(ScriptedDialogs::Kind k) {
  switch (k) {
    case ScriptedDialogs::Kind::Input:
      return "input box";
    case ScriptedDialogs::Kind::YesNo:
      return "Yes/No box";
    case ScriptedDialogs::Kind::SaveDiscardCancel:
      return "Save/Discard/Cancel box";
    case ScriptedDialogs::Kind::Warning:
      return "warning box";
    case ScriptedDialogs::Kind::Open:
      return "open dialog";
    case ScriptedDialogs::Kind::Save:
      return "save dialog";
    case ScriptedDialogs::Kind::Filter:
      return "Filter dialog";
    case ScriptedDialogs::Kind::Calibration:
      return "calibration dialog";
  }
  return "dialog";
}

ScriptedDialogs::~ScriptedDialogs() {
  verify();
}

void ScriptedDialogs::verify() {
  for (const Expected& e : expected_)
    ADD_FAILURE() << "expected " << kind_name(e.kind) << " \"" << e.match.toStdString() << "\" never came";
  expected_.clear();
  fills_.clear();
}

void ScriptedDialogs::expect_input(const QString& prompt, const QString& answer) {
  expected_.push_back({Kind::Input, prompt, answer});
}
void ScriptedDialogs::expect_input_starting(const QString& prefix, const QString& answer) {
  expected_.push_back({Kind::Input, prefix, answer, false, true});
}
void ScriptedDialogs::expect_yes_no(const QString& text, bool yes) {
  expected_.push_back({Kind::YesNo, text, {}, yes});
}
void ScriptedDialogs::expect_save_discard_cancel(const QString& text, SaveAnswer answer) {
  Expected e{Kind::SaveDiscardCancel, text, {}};
  e.save_answer = answer;
  expected_.push_back(e);
}
void ScriptedDialogs::expect_warning(const QString& text) {
  expected_.push_back({Kind::Warning, text, {}});
}
void ScriptedDialogs::expect_warning_starting(const QString& prefix) {
  expected_.push_back({Kind::Warning, prefix, {}, false, true});
}
void ScriptedDialogs::expect_open(const QString& title, const QString& path) {
  expected_.push_back({Kind::Open, title, path});
}
void ScriptedDialogs::expect_save(const QString& title, const QString& path) {
  expected_.push_back({Kind::Save, title, path});
}

void ScriptedDialogs::expect_filter(const std::optional<FilterSettings>& answer) {
  Expected e{Kind::Filter, "Filter", {}};
  e.filter = answer;
  expected_.push_back(e);
}

void ScriptedDialogs::expect_calibration(CalibrationFill fill) {
  expected_.push_back({Kind::Calibration, "Calibrate inputs", {}});
  fills_.push_back(std::move(fill));
}

const ScriptedDialogs::Expected* ScriptedDialogs::take(Kind kind, const QString& match) {
  if (expected_.empty()) {
    ADD_FAILURE() << "unexpected " << kind_name(kind) << " \"" << match.toStdString() << "\"";
    return nullptr;
  }
  const Expected e = expected_.front();
  const bool matches = e.prefix ? match.startsWith(e.match) : match == e.match;
  if (e.kind != kind || !matches) {
    ADD_FAILURE() << "expected " << kind_name(e.kind) << " \"" << e.match.toStdString() << "\" but got "
                  << kind_name(kind) << " \"" << match.toStdString() << "\"";
    return nullptr;
  }
  expected_.pop_front();
  current_ = e;
  return &current_;
}

QString ScriptedDialogs::input_box(const QString& prompt, const QString& title, const QString& default_text) {
  asked_.push_back({Kind::Input, prompt, title, default_text, {}});
  const Expected* e = take(Kind::Input, prompt);
  return e ? e->answer : QString();
}

bool ScriptedDialogs::yes_no(const QString& text, const QString& title) {
  asked_.push_back({Kind::YesNo, text, title, {}, {}});
  const Expected* e = take(Kind::YesNo, text);
  return e ? e->yes : false;
}

SaveAnswer ScriptedDialogs::save_discard_cancel(const QString& text, const QString& title) {
  asked_.push_back({Kind::SaveDiscardCancel, text, title, {}, {}});
  const Expected* e = take(Kind::SaveDiscardCancel, text);
  return e ? e->save_answer : SaveAnswer::Cancel;
}

void ScriptedDialogs::warning(const QString& text, const QString& title) {
  asked_.push_back({Kind::Warning, text, title, {}, {}});
  if (hold_ms_ > 0) {
    QEventLoop open;
    QTimer::singleShot(hold_ms_, &open, &QEventLoop::quit);
    hold_ms_ = 0;
    open.exec();
  }
  take(Kind::Warning, text);
}

QString ScriptedDialogs::open_file(const FileDialogRequest& request) {
  asked_.push_back({Kind::Open, request.title, request.title, request.file_name, request});
  const Expected* e = take(Kind::Open, request.title);
  return e ? e->answer : QString();
}

QString ScriptedDialogs::save_file(const FileDialogRequest& request) {
  asked_.push_back({Kind::Save, request.title, request.title, request.file_name, request});
  const Expected* e = take(Kind::Save, request.title);
  return e ? e->answer : QString();
}

std::optional<FilterSettings> ScriptedDialogs::filter_settings(const FilterSettings& proposal, double rate_hz,
                                                               const PerChannel<bool>& recorded) {
  asked_.push_back({Kind::Filter, "Filter", "Filter", {}, {}, proposal, rate_hz, recorded});
  const Expected* e = take(Kind::Filter, "Filter");
  return e ? e->filter : std::nullopt;
}

std::optional<CalibrationAnswer> ScriptedDialogs::calibration(const CalibrationRequest& request) {
  asked_.push_back({Kind::Calibration, "Calibrate inputs", "Calibrate inputs", {}, {}});
  calibration_request_ = request;
  if (!take(Kind::Calibration, "Calibrate inputs") || fills_.empty()) return std::nullopt;
  const CalibrationFill fill = std::move(fills_.front());
  fills_.pop_front();
  const std::optional<InputEntries> rows = fill(request);
  if (!rows) return std::nullopt;
  CalibrationAnswer a{*rows, {}};
  for (int i = 1; i <= kInputCount; ++i) {
    const CalibrationOutcome o = calibration_from_entry(a.rows[i], i);
    if (!o.ok()) {
      ADD_FAILURE() << "the calibration dialog would refuse: " << o.refusal.toStdString();
      return std::nullopt;
    }
    a.calibrations[i] = o.calibration;
  }
  return a;
}

}  // namespace quarvel::testing
