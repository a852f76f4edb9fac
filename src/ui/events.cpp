#include "ui/events.h"

#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
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

void on_focus_in(QWidget* control, std::function<void()> handler) {
  control->installEventFilter(new EventHook(control, [handler](QEvent* e) {
    if (e->type() == QEvent::FocusIn) handler();
    return false;
  }));
}

void on_focus_moved_away(QWidget* control, std::function<void()> handler) {
  control->installEventFilter(new EventHook(control, [handler](QEvent* e) {
    if (e->type() != QEvent::FocusOut) return false;
    const Qt::FocusReason why = static_cast<QFocusEvent*>(e)->reason();
    if (why != Qt::PopupFocusReason && why != Qt::ActiveWindowFocusReason) handler();
    return false;
  }));
}

void on_mouse_move(QWidget* control, std::function<bool(Qt::MouseButtons, QPoint)> handler) {
  control->installEventFilter(new EventHook(control, [handler](QEvent* e) {
    if (e->type() != QEvent::MouseMove) return false;
    const auto* m = static_cast<QMouseEvent*>(e);
    return handler(m->buttons(), m->position().toPoint());
  }));
}

}  // namespace quarvel
