#include "ui/progress_window.h"

#include <QCoreApplication>
#include <QProgressBar>
#include <QVBoxLayout>
#include <algorithm>

namespace quarvel {

ProgressWindow::ProgressWindow(QWidget* owner) : QWidget(owner, Qt::Tool), HScroll1(new QProgressBar(this)) {
  setObjectName("Scroll");
  setAccessibleName("progress");
  setAccessibleDescription("Scroll");
  HScroll1->setObjectName("HScroll1");
  HScroll1->setAccessibleName("progress bar");
  HScroll1->setAccessibleDescription("HScroll1");
  HScroll1->setRange(0, 100);
  HScroll1->setTextVisible(false);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(HScroll1);
  setFixedSize(320, 60);
}

void ProgressWindow::set_value(int v) {
  HScroll1->setValue(std::clamp(v, 0, 100));
}

int ProgressWindow::value() const {
  return HScroll1->value();
}

void ProgressWindow::show_modeless() {
  setWindowModality(Qt::NonModal);
  show();
}

void ProgressWindow::refresh() {
  if (!isVisible()) return;
  repaint();
  HScroll1->repaint();
}

}  // namespace quarvel
