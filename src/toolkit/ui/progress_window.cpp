#include "ui/progress_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace quarvel {

namespace {

// Events are let through no more often than a screen is refreshed: the work asks far more often.
constexpr qint64 kEventsEveryMs = 33;

}  // namespace

ProgressWindow::ProgressWindow(QWidget* owner)
    : QWidget(owner, Qt::Tool), HScroll1(new QProgressBar(this)), cancel(new QPushButton("Cancel", this)) {
  setObjectName("Scroll");
  setAccessibleName("progress");
  setAccessibleDescription("Scroll");
  HScroll1->setObjectName("HScroll1");
  HScroll1->setAccessibleName("progress bar");
  HScroll1->setAccessibleDescription("HScroll1");
  HScroll1->setRange(0, 100);
  HScroll1->setTextVisible(false);
  cancel->setObjectName("cancel");
  cancel->setAccessibleDescription("cancel");
  cancel->setAutoDefault(false);
  // The window over which the work shows its hourglass; Cancel is for clicking.
  cancel->setCursor(Qt::ArrowCursor);
  cancel->hide();
  connect(cancel, &QPushButton::clicked, this, [this] { cancelled_ = true; });
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(HScroll1);
  layout->addWidget(cancel, 0, Qt::AlignRight);
  setFixedSize(320, 60);
}

void ProgressWindow::set_value(int v) {
  HScroll1->setValue(std::clamp(v, 0, 100));
}

int ProgressWindow::value() const {
  return HScroll1->value();
}

void ProgressWindow::show_as(Qt::WindowModality modality, bool with_cancel) {
  // The modality of a window takes effect when it is shown.
  if (isVisible() && windowModality() != modality) hide();
  setWindowModality(modality);
  cancel->setVisible(with_cancel);
  setFixedSize(320, with_cancel ? 96 : 60);
  show();
}

void ProgressWindow::show_modeless() {
  since_events_.invalidate();
  show_as(Qt::NonModal, false);
}

void ProgressWindow::show_cancellable() {
  cancelled_ = false;
  since_events_.invalidate();
  show_as(Qt::ApplicationModal, true);
  cancel->setFocus();
}

bool ProgressWindow::cancel_requested() {
  if (!since_events_.isValid() || since_events_.elapsed() >= kEventsEveryMs) {
    QCoreApplication::processEvents();
    since_events_.start();
  }
  return cancelled_;
}

void ProgressWindow::refresh() {
  if (!isVisible()) return;
  repaint();
  HScroll1->repaint();
}

void ProgressWindow::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Escape && cancel->isVisible()) {
    cancelled_ = true;
    return;
  }
  QWidget::keyPressEvent(e);
}

void ProgressWindow::closeEvent(QCloseEvent* e) {
  // The work ends the window itself; closing it while work that can stop is under way asks to stop.
  if (cancel->isVisible()) {
    cancelled_ = true;
    e->ignore();
    return;
  }
  QWidget::closeEvent(e);
}

}  // namespace quarvel
