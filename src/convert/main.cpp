#include <QCoreApplication>
#include <csignal>
#include <cstdio>

#include "convert_options.h"
#include "convert_run.h"

int main(int argc, char* argv[]) {
  // A file-size limit reached gives a write error to report, not a signal that ends the program.
  std::signal(SIGXFSZ, SIG_IGN);
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName("quarvel-convert");
  const quarvel::ConvertCommandLine line = quarvel::parse_convert_command_line(QCoreApplication::arguments());
  if (!line.options) {
    std::fputs(line.text.toLocal8Bit().constData(), line.exit_code == 0 ? stdout : stderr);
    return line.exit_code;
  }
  return quarvel::run_convert(*line.options, stdout, stderr);
}
