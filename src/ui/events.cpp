#include "ui/events.h"

#include <QEvent>
#include <QKeyEvent>
#include <QWidget>

namespace quarvel {

namespace {

class EventHook : public QObject {
 public:
  EventHook(QObject* parent, std::function<bool(QEvent*)> fn) : QObject(parent), fn_(std::move(fn)) {}

 protected:
  bool eventFilter(QObject*, QEvent* e) override { return fn_(e); }

 private:
  std::function<bool(QEvent*)> fn_;
};

}  // namespace

void on_focus_out(QWidget* control, std::function<void()> handler) {
  control->installEventFilter(new EventHook(control, [handler](QEvent* e) {
    if (e->type() == QEvent::FocusOut) handler();
    return false;
  }));
}

void on_enter_key(QWidget* control, std::function<void()> handler) {
  control->installEventFilter(new EventHook(control, [handler](QEvent* e) {
    if (e->type() != QEvent::KeyPress) return false;
    const int key = static_cast<QKeyEvent*>(e)->key();
    if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
    handler();
    return true;
  }));
}

}  // namespace quarvel
