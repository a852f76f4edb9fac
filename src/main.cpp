#include <QApplication>
#include <csignal>

#include "app/main_window.h"

int main(int argc, char* argv[]) {
  // A recording that reaches the file-size limit gets an error it can report, instead of the
  // signal that would end the program.
  std::signal(SIGXFSZ, SIG_IGN);
  QApplication app(argc, argv);
  quarvel::MainWindow window(quarvel::system_services());
  window.show();
  return app.exec();
}
