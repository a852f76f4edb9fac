#include "datafile/files_in.h"

#include <QAction>
#include <QDir>
#include <QMenu>

#include "app/commands.h"
#include "app/main_window.h"
#include "core/kept_settings.h"
#include "datafile/open_file.h"
#include "ui/surface.h"
#include "ui/events.h"

namespace quarvel {

bool open_offered(const MainWindow& w) {
  return w.mnuFile->menuAction()->isEnabled() && w.mnuOpen->isVisible() && w.mnuOpen->isEnabled() &&
         !w.s.acq_running;
}

void open_start_file(MainWindow& w, const QString& path) {
  run_command(w, [&] { open_path(w, path); });
}

void open_dropped_files(MainWindow& w, const QStringList& paths) {
  if (paths.isEmpty() || !open_offered(w)) return;
  run_command(w, [&] { open_path(w, paths.front()); });
}

void remember_opened_file(MainWindow& w, const QString& path) {
  QSettings* store = w.services.settings.get();
  if (!store) return;
  write_recent_files(*store, with_recent_file(read_recent_files(*store), path));
}

namespace {

void fill_recent_menu(MainWindow& w) {
  QMenu* m = w.mnuRecent;
  m->clear();
  const QStringList files = w.services.settings ? read_recent_files(*w.services.settings) : QStringList();
  for (int i = 0; i < files.size(); ++i) {
    const QString path = files[i];
    QAction* a = m->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(QDir::toNativeSeparators(path)));
    a->setObjectName(QStringLiteral("mnuRecentitem(%1)").arg(i + 1));
    QObject::connect(a, &QAction::triggered, &w, [&w, path] { run_command(w, [&] { open_path(w, path); }); });
  }
  m->menuAction()->setVisible(w.mnuOpen->isVisible() && !files.isEmpty());
}

}  // namespace

void wire_files_in(MainWindow& w) {
  w.mnuRecent = new QMenu(QStringLiteral("&Recent files"), w.mnuFile);
  w.mnuRecent->setObjectName("mnuRecent");
  w.mnuRecent->menuAction()->setObjectName("mnuRecent_entry");
  w.mnuFile->insertMenu(w.separator1, w.mnuRecent);
  fill_recent_menu(w);
  QObject::connect(w.mnuFile, &QMenu::aboutToShow, &w, [&w] { fill_recent_menu(w); });
  // The surface takes drops of its own (annotation boxes), so it gets the hook as well as the window.
  for (QWidget* target : {static_cast<QWidget*>(&w), static_cast<QWidget*>(w.disp)})
    on_files_dropped(target, [&w] { return open_offered(w); },
                     [&w](const QStringList& paths) { open_dropped_files(w, paths); });
}

}  // namespace quarvel
