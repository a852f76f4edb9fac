#include "app/services.h"

#include <QDir>
#include <cstdlib>

namespace quarvel {

QString default_data_dir() {
#ifdef Q_OS_WIN
  return QStringLiteral("c:\\data");
#else
  return QDir::home().filePath(QStringLiteral("data"));
#endif
}

Services system_services() {
  Services s;
  s.dialogs = std::make_unique<QtDialogs>();
  s.clipboard = std::make_unique<SystemClipboard>();
  s.timer = std::make_unique<PreciseTickTimer>();
  s.clock = std::make_unique<SteadyClock>();
  s.data_dir = default_data_dir();
  s.settings = std::make_unique<QSettings>(QStringLiteral("Quarvel"), QStringLiteral("Quarvel"));
  // Ends at once: nothing is saved and nothing is asked; open files are closed by the system.
  s.end_program = [] { std::_Exit(0); };
  return s;
}

}  // namespace quarvel
