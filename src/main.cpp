#include <QApplication>

#include "core/main_window.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  quarvel::MainWindow window(quarvel::system_services());
  window.show();
  return app.exec();
}
