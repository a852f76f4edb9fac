#include "ui/events.h"

#include <QApplication>
#include <QComboBox>
#include <QDropEvent>
#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>
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
    // The focus going into a popup (the box's own drop-down) or to another window is not a move
    // to another control of this one.
    const Qt::FocusReason why = static_cast<QFocusEvent*>(e)->reason();
    if (why == Qt::PopupFocusReason || why == Qt::ActiveWindowFocusReason) return false;
    if (QApplication::activePopupWidget() != nullptr) return false;
    handler();
    return false;
  }));
}

void on_edit_committed(QComboBox* box, std::function<void()> commit) {
  QObject::connect(box, &QComboBox::activated, box, [box] { box->lineEdit()->setModified(true); });
  on_focus_moved_away(box, [box, commit] {
    if (!box->lineEdit()->isModified()) return;
    box->lineEdit()->setModified(false);
    commit();
  });
}

void on_user_edit(QComboBox* box, std::function<void()> edited) {
  QObject::connect(box->lineEdit(), &QLineEdit::textEdited, box, [edited] { edited(); });
  QObject::connect(box, &QComboBox::activated, box, [edited] { edited(); });
}

void on_mouse_move(QWidget* control, std::function<bool(Qt::MouseButtons, QPoint)> handler) {
  control->installEventFilter(new EventHook(control, [handler](QEvent* e) {
    if (e->type() != QEvent::MouseMove) return false;
    const auto* m = static_cast<QMouseEvent*>(e);
    return handler(m->buttons(), m->position().toPoint());
  }));
}

QStringList dragged_files(const QMimeData* data) {
  QStringList paths;
  if (!data || !data->hasUrls()) return paths;
  for (const QUrl& u : data->urls())
    if (u.isLocalFile()) paths << u.toLocalFile();
  return paths;
}

void on_files_dropped(QWidget* control, std::function<bool()> taking,
                      std::function<void(const QStringList&)> dropped) {
  control->setAcceptDrops(true);
  control->installEventFilter(new EventHook(control, [taking, dropped](QEvent* e) {
    const QEvent::Type t = e->type();
    if (t != QEvent::DragEnter && t != QEvent::DragMove && t != QEvent::Drop) return false;
    auto* d = static_cast<QDropEvent*>(e);
    // Drags inside the program are the controls' own business.
    if (d->source()) return false;
    const QStringList files = dragged_files(d->mimeData());
    if (files.isEmpty() || !taking()) return false;
    d->acceptProposedAction();
    if (t == QEvent::Drop) dropped(files);
    return true;
  }));
}

}  // namespace quarvel
