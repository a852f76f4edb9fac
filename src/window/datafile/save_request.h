// What the Save dialog proposes for a file made from the loaded recording (results, picture,
// export): the data file's name with the file's own extension, beside it; while no file is loaded,
// fallback_base with that extension in the recordings folder.
#pragma once

#include <QString>

#include "ui/dialogs.h"

namespace quarvel {

class MainWindow;

FileDialogRequest save_request_beside_data(const MainWindow& w, const QString& filter, const QString& title,
                                           const QString& ext, const QString& fallback_base);

}  // namespace quarvel
