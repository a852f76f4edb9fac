// File > Open: loads a recording (.bin, both formats) or a Labtech sample file (.prn) into the
// sample arrays, sets the view the file was recorded in, resets the results grids and draws.
#pragma once

#include <QString>

namespace quarvel {

class MainWindow;

void mnuOpen_click(MainWindow& w);

// Reads the file at path by its extension (file_ext), then prepares the view, the grids and the
// status line. A file that cannot be read gives the file-input message and leaves no file loaded.
void open_data_file(MainWindow& w, const QString& path);

// The two readers; each returns false after showing the file-input message.
bool read_bin_file(MainWindow& w, const QString& path);
bool read_prn_file(MainWindow& w, const QString& path);

extern const char* const kFileInputMessage;  // "Error encountered while trying to open file, please retry."
extern const char* const kFileInputTitle;    // "File input"

}  // namespace quarvel
