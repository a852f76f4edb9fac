#include <QApplication>
#include <QDir>
#include <QTimer>
#include <csignal>
#include <cstdio>

#include "app/first_picture_report.h"
#include "app/main_window.h"
#include "core/command_line.h"
#include "ui/surface.h"
#include "datafile/files_in.h"

int main(int argc, char* argv[]) {
  // A recording that reaches the file-size limit gets an error it can report, instead of the
  // signal that would end the program.
  std::signal(SIGXFSZ, SIG_IGN);
  // Help and version are printed without a window, so they work where there is no display.
  QStringList raw;
  for (int i = 0; i < argc; ++i) raw << QString::fromLocal8Bit(argv[i]);
  if (const quarvel::CommandLine text = quarvel::text_request(raw, QDir::currentPath()); text.end) {
    std::fputs(text.text.toLocal8Bit().constData(), text.exit_code == 0 ? stdout : stderr);
    return text.exit_code;
  }
  QApplication app(argc, argv);
  QApplication::setOrganizationName("Quarvel");
  QApplication::setApplicationName("Quarvel");
  const quarvel::CommandLine line =
      quarvel::parse_command_line(QApplication::arguments(), QDir::currentPath());
  if (line.end) {
    std::fputs(line.text.toLocal8Bit().constData(), line.exit_code == 0 ? stdout : stderr);
    return line.exit_code;
  }
  quarvel::MainWindow window(quarvel::system_services());
  window.show();
  // Opened once the event loop runs, so the window is on the screen behind its questions.
  if (!line.file.isEmpty())
    QTimer::singleShot(0, &window, [&window, &line] {
      quarvel::open_start_file(window, line.file);
      quarvel::report_after_next_paint(window.disp);
    });
  return app.exec();
}
