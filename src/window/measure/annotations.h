// Text annotations: up to twenty boxes (Text1) lying on the plotting surface. Insert puts the
// first free box near the top left of the surface, white and ready for typing; leaving it shows
// the text white on the display's blue, the box shrunk to the text, or frees the box when nothing
// was typed. Delete frees the box that last had the focus. A box is moved by dragging it with the
// left button and dropping it on the surface. Positions are set in twips at the screen's logical
// resolution. A box is free while it is disabled; boxes in use are enabled and shown.
#pragma once

#include <Qt>

class QObject;
class QPoint;

namespace quarvel {

class MainWindow;

// Menu Text > Insert: the lowest free box, 1000 twips wide at 1000 twips from the left, at the
// top; nothing without data or when all twenty are in use.
void text_insert(MainWindow& w);

// Menu Text > Delete: empties and frees the box that last had the focus, in use or not.
void text_delete(MainWindow& w);

// Box i received the focus: it becomes the one Delete acts on.
void text_got_focus(MainWindow& w, int i);

// Enter in a box ends the editing by giving the focus to the surface.
void text_enter_key(MainWindow& w, int i);

// Box i lost the focus to another control: display colours, freed when empty, and sized to its
// text.
void text_lost_focus(MainWindow& w, int i);

// A mouse move over box i at pos (pixels inside the box). With exactly the left button held the
// box is dragged until the button is released; returns whether a drag ran.
bool text_mouse_move(MainWindow& w, int i, Qt::MouseButtons buttons, const QPoint& pos);

// The two ends of a drag of box i grabbed at pos: the start keeps the box and the grab point, the
// end forgets a drag that was released anywhere but on the surface.
void begin_text_drag(MainWindow& w, int i, const QPoint& pos);
void end_text_drag(MainWindow& w);

// A drop on the surface at (x, y) in its user coordinates: the box being dragged moves so that
// the point where it was grabbed lies under the drop point.
void text_drop(MainWindow& w, QObject* source, double x, double y);

}  // namespace quarvel
