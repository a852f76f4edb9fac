#include "ui/dialogs.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QStringList>

#include "ui/filter_dialog.h"
#include "ui/calibration_dialog.h"

namespace quarvel {

QString toolkit_filter(const QString& filter) {
  const QStringList parts = filter.split('|');
  QStringList entries;
  for (int i = 0; i < parts.size(); i += 2) {
    const QString desc = parts[i];
    const QString pattern = i + 1 < parts.size() ? parts[i + 1] : QString();
    if (pattern.isEmpty() || desc.contains('(')) {
      entries << desc;
    } else {
      entries << desc + " (" + QString(pattern).replace(';', ' ') + ")";
    }
  }
  return entries.join(";;");
}

QString QtDialogs::input_box(const QString& prompt, const QString& title, const QString& default_text) {
  bool ok = false;
  const QString t = QInputDialog::getText(parent_, title, prompt, QLineEdit::Normal, default_text, &ok);
  return ok ? t : QString();
}

bool QtDialogs::yes_no(const QString& text, const QString& title) {
  return QMessageBox::question(parent_, title, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) ==
         QMessageBox::Yes;
}

SaveAnswer QtDialogs::save_discard_cancel(const QString& text, const QString& title) {
  QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel,
                  parent_);
  box.setDefaultButton(QMessageBox::Save);
  box.setEscapeButton(QMessageBox::Cancel);
  switch (box.exec()) {
    case QMessageBox::Save:
      return SaveAnswer::Save;
    case QMessageBox::Discard:
      return SaveAnswer::Discard;
    default:
      return SaveAnswer::Cancel;
  }
}

void QtDialogs::warning(const QString& text, const QString& title) {
  QMessageBox::warning(parent_, title, text);
}

// The one extension of a filter entry such as "SVG pictures (*.svg)"; empty when it names
// several or none.
static QString filter_extension(const QString& entry) {
  const qsizetype open = entry.lastIndexOf(QLatin1Char('(')), close = entry.lastIndexOf(QLatin1Char(')'));
  const QString list = open >= 0 && close > open ? entry.mid(open + 1, close - open - 1) : entry;
  const QStringList patterns = QString(list).replace(QLatin1Char(';'), QLatin1Char(' ')).split(
      QLatin1Char(' '), Qt::SkipEmptyParts);
  if (patterns.size() != 1 || !patterns[0].startsWith(QLatin1String("*."))) return QString();
  const QString ext = patterns[0].mid(2);
  return ext.contains(QLatin1Char('*')) || ext.contains(QLatin1Char('?')) ? QString() : ext;
}

QString QtDialogs::run_file_dialog(const FileDialogRequest& r, bool save) {
  QFileDialog dlg(parent_, r.title, r.initial_dir);
  dlg.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dlg.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  const QStringList filters = toolkit_filter(r.filter).split(";;");
  dlg.setNameFilters(filters);
  if (r.filter_index >= 1 && r.filter_index <= filters.size())
    dlg.selectNameFilter(filters[r.filter_index - 1]);
  // A name typed without an extension takes that of the filter chosen, so the filter decides
  // the kind of file written.
  const auto suffix_for = [&r](const QString& entry) {
    const QString ext = filter_extension(entry);
    return ext.isEmpty() ? r.default_ext : ext;
  };
  const QString suffix = save ? suffix_for(dlg.selectedNameFilter()) : r.default_ext;
  if (!suffix.isEmpty()) dlg.setDefaultSuffix(suffix);
  if (save) {
    QObject::connect(&dlg, &QFileDialog::filterSelected, &dlg,
                     [&dlg, suffix_for](const QString& entry) { dlg.setDefaultSuffix(suffix_for(entry)); });
  }
  if (!r.file_name.isEmpty()) dlg.selectFile(r.file_name);
  // The save dialog asks before it returns the name of a file that exists.
  dlg.setOption(QFileDialog::DontConfirmOverwrite, false);
  if (dlg.exec() != QDialog::Accepted) return QString();
  const QStringList files = dlg.selectedFiles();
  return files.isEmpty() ? QString() : files.first();
}

QString QtDialogs::open_file(const FileDialogRequest& request) {
  return run_file_dialog(request, false);
}

QString QtDialogs::save_file(const FileDialogRequest& request) {
  return run_file_dialog(request, true);
}

std::optional<FilterSettings> QtDialogs::filter_settings(const FilterSettings& proposal, double rate_hz,
                                                         const PerChannel<bool>& recorded) {
  FilterDialog dlg(proposal, rate_hz, recorded, parent_);
  if (dlg.exec() != QDialog::Accepted) return std::nullopt;
  return dlg.settings();
}

std::optional<CalibrationAnswer> QtDialogs::calibration(const CalibrationRequest& request) {
  CalibrationDialog dlg(request, parent_);
  if (dlg.exec() != QDialog::Accepted) return std::nullopt;
  return dlg.answer();
}

}  // namespace quarvel
