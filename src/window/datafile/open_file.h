// File > Open: loads a recording (.bin, both formats) or a Labtech sample file (.prn) into the
// sample arrays, sets the view the file was recorded in, resets the results grids and draws.
//
// A file is read in full before anything of the window changes: a file that cannot be read (an
// unknown extension, a damaged header, a cancelled question, a read error) gives the file-input
// message and leaves the window as it was.
#pragma once

#include <QString>

namespace quarvel {

class MainWindow;

void mnuOpen_click(MainWindow& w);

// Opens the file at path as File > Open does once its dialog has returned the name: the start-up
// file and a file dropped on the window come in here too.
void open_path(MainWindow& w, const QString& path);

extern const char* const kFileInputMessage;  // "Error encountered while trying to open file, please retry."
extern const char* const kFileInputTitle;    // "File input"

}  // namespace quarvel
