// Small event hooks for controls: a handler when a control loses the keyboard focus, and one for
// the Enter key pressed in it (the key is then consumed). Further hooks for controls the user
// edits and drags: the focus coming in, the focus moving to another control of the window, and
// mouse moves over the control.
#pragma once

#include <QObject>
#include <QPoint>
#include <functional>

class QWidget;

namespace quarvel {

void on_focus_out(QWidget* control, std::function<void()> handler);
void on_enter_key(QWidget* control, std::function<void()> handler);

void on_focus_in(QWidget* control, std::function<void()> handler);

// Like on_focus_out, but only when the focus moves to another control (a click, Tab, a program's
// setFocus): a menu opening or another window coming to the front leaves the control as it is.
void on_focus_moved_away(QWidget* control, std::function<void()> handler);

// A mouse move over the control: the buttons held and the pointer position in the control's
// pixels. The handler returns true when it has dealt with the move (the control then never sees
// it).
void on_mouse_move(QWidget* control, std::function<bool(Qt::MouseButtons buttons, QPoint pos)> handler);

}  // namespace quarvel
