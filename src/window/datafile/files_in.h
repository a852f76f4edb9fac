// Files that come in without the Open dialog: the file named on the command line, files dropped
// on the window from a file manager, and the recent-files list of the File menu. Each is opened
// as File > Open opens the name its dialog returns, questions and messages included.
#pragma once

#include <QString>
#include <QStringList>

namespace quarvel {

class MainWindow;

// Whether a file can be opened now: where File > Open is offered (analysis, no loop running).
bool open_offered(const MainWindow& w);

// The file named at start-up.
void open_start_file(MainWindow& w, const QString& path);

// Files dropped on the window: the first is opened; the others are left alone.
void open_dropped_files(MainWindow& w, const QStringList& paths);

// A file opened and shown goes to the head of the recent-files list, which is kept in the
// settings store.
void remember_opened_file(MainWindow& w, const QString& path);

// The Recent files menu under Open, filled from the settings store each time the File menu opens.
void wire_files_in(MainWindow& w);

}  // namespace quarvel
