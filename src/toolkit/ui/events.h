// Small event hooks for controls: a handler when a control loses the keyboard focus, and one for
// the Enter key pressed in it (the key is then consumed). Further hooks for controls the user
// edits and drags: the focus coming in, the focus moving to another control of the window, and
// mouse moves over the control.
#pragma once

#include <QObject>
#include <QPoint>
#include <QStringList>
#include <functional>

class QComboBox;
class QMimeData;
class QWidget;

namespace quarvel {

void on_focus_out(QWidget* control, std::function<void()> handler);
void on_enter_key(QWidget* control, std::function<void()> handler);

void on_focus_in(QWidget* control, std::function<void()> handler);

// Like on_focus_out, but only when the focus moves to another control (a click, Tab, a program's
// setFocus): a menu opening or another window coming to the front leaves the control as it is.
void on_focus_moved_away(QWidget* control, std::function<void()> handler);

// For an editable box: `commit` runs when the focus moves from the box to another control after
// the user changed its text (by typing or by choosing an entry of its list). Leaving a box whose
// text the user did not touch, or opening its drop-down, runs nothing. Texts the program writes
// into the box count as untouched.
void on_edit_committed(QComboBox* box, std::function<void()> commit);

// `edited` runs for every change the user makes to the text of an editable box, and never for a
// text the program writes into it.
void on_user_edit(QComboBox* box, std::function<void()> edited);

// A mouse move over the control: the buttons held and the pointer position in the control's
// pixels. The handler returns true when it has dealt with the move (the control then never sees
// it).
void on_mouse_move(QWidget* control, std::function<bool(Qt::MouseButtons buttons, QPoint pos)> handler);

// The local files a drag from another program carries; empty when it carries none.
QStringList dragged_files(const QMimeData* data);

// Files dragged from another program (a file manager) may be dropped on the control, and on its
// children that take no such drops themselves, while `taking` says so; `dropped` runs with their
// paths.
void on_files_dropped(QWidget* control, std::function<bool()> taking,
                      std::function<void(const QStringList& paths)> dropped);

}  // namespace quarvel
