#include "ui/dialogs.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QStringList>

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

void QtDialogs::warning(const QString& text, const QString& title) {
  QMessageBox::warning(parent_, title, text);
}

QString QtDialogs::run_file_dialog(const FileDialogRequest& r, bool save) {
  QFileDialog dlg(parent_, r.title, r.initial_dir);
  dlg.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dlg.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  const QStringList filters = toolkit_filter(r.filter).split(";;");
  dlg.setNameFilters(filters);
  if (r.filter_index >= 1 && r.filter_index <= filters.size())
    dlg.selectNameFilter(filters[r.filter_index - 1]);
  if (!r.default_ext.isEmpty()) dlg.setDefaultSuffix(r.default_ext);
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

}  // namespace quarvel
