#include "measure/annotations.h"

#include <QDrag>
#include <QLineEdit>
#include <QMimeData>
#include <QPalette>
#include <QStyle>
#include <QStyleOptionFrame>

#include "core/colour.h"
#include "app/main_window.h"
#include "core/numbers.h"
#include "ui/fonts.h"
#include "ui/surface.h"

namespace quarvel {

namespace {

constexpr int kEditWidthTwips = 1000;
constexpr int kEditLeftTwips = 1000;

void set_colours(QLineEdit* box, int32_t back, int32_t text) {
  QPalette p = box->palette();
  p.setColor(QPalette::Base, to_qcolor(back));
  p.setColor(QPalette::Text, to_qcolor(text));
  box->setPalette(p);
}

void free_box(QLineEdit* box) {
  box->hide();
  box->setEnabled(false);
}

// The size at which the box shows its whole text without scrolling: the text's extent plus the
// frame, the text margins, the two pixels the line edit keeps free on each side, the pixel of the
// text cursor, and the overhang of glyphs past their advance.
QSize fitted_size(const QLineEdit* box) {
  const QFontMetrics fm(box->font());
  QStyleOptionFrame opt;
  opt.initFrom(box);
  opt.rect = QRect(0, 0, 1000, 1000);
  opt.lineWidth = box->hasFrame() ? box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, box) : 0;
  opt.midLineWidth = 0;
  opt.state |= QStyle::State_Sunken;
  const QRect inner = box->style()->subElementRect(QStyle::SE_LineEditContents, &opt, box);
  const QMargins text_margins = box->textMargins();
  const int chrome = opt.rect.width() - inner.width() + text_margins.left() + text_margins.right() + 2 * 2;
  const int overhang = std::max(0, -fm.minLeftBearing()) + std::max(0, -fm.minRightBearing());
  const int width = fm.horizontalAdvance(box->text()) + chrome + overhang + 2;
  return QSize(width, box->sizeHint().height());
}

}  // namespace

void text_insert(MainWindow& w) {
  if (!w.s.file_loaded) return;
  int i = 0;
  while (i < static_cast<int>(w.Text1.size()) && w.Text1[i]->isEnabled()) ++i;
  if (i == static_cast<int>(w.Text1.size())) return;
  QLineEdit* box = w.Text1[i];
  box->setEnabled(true);
  box->show();
  box->raise();
  box->setGeometry(twips_to_pixels(kEditLeftTwips, w.disp), 0, twips_to_pixels(kEditWidthTwips, w.disp),
                   box->sizeHint().height());
  set_colours(box, palette_colour(15), palette_colour(0));
  box->setFocus();
}

void text_delete(MainWindow& w) {
  const int i = w.s.text_sel;
  if (i < 0 || i >= static_cast<int>(w.Text1.size())) return;
  QLineEdit* box = w.Text1[i];
  box->clear();
  free_box(box);
}

void text_got_focus(MainWindow& w, int i) {
  w.s.text_sel = static_cast<int16_t>(i);
}

void text_enter_key(MainWindow& w, int i) {
  (void)i;
  w.disp->setFocus();
}

void text_lost_focus(MainWindow& w, int i) {
  QLineEdit* box = w.Text1[i];
  set_colours(box, palette_colour(9), palette_colour(15));
  if (box->text().isEmpty()) free_box(box);
  box->resize(fitted_size(box));
}

void begin_text_drag(MainWindow& w, int i, const QPoint& pos) {
  SharedState& s = w.s;
  s.text_drag = kTrue;
  s.drag_box = static_cast<int16_t>(i);
  // In twips, at the centre of the pointer's pixel, as the surface reports drop positions.
  const double tpp = w.disp->twips_per_pixel();
  s.grab_x = static_cast<float>((pos.x() + 0.5) * tpp);
  s.grab_y = static_cast<float>((pos.y() + 0.5) * tpp);
}

void end_text_drag(MainWindow& w) {
  w.s.text_drag = kFalse;
}

bool text_mouse_move(MainWindow& w, int i, Qt::MouseButtons buttons, const QPoint& pos) {
  if (buttons != Qt::LeftButton) return false;
  QLineEdit* box = w.Text1[i];
  begin_text_drag(w, i, pos);
  auto* drag = new QDrag(box);
  drag->setMimeData(new QMimeData);
  drag->setPixmap(box->grab());
  drag->setHotSpot(pos);
  drag->exec(Qt::MoveAction);
  // A release anywhere but on the surface brings no drop.
  end_text_drag(w);
  return true;
}

void text_drop(MainWindow& w, QObject* source, double x, double y) {
  (void)source;
  SharedState& s = w.s;
  if (!s.text_drag) return;
  s.text_drag = kFalse;
  if (s.drag_box < 0 || s.drag_box >= static_cast<int>(w.Text1.size())) return;
  // The drop point in twips from the surface's top left, whatever user scale is in force; the
  // surface's coordinate system itself is never changed by a drag.
  const Surface& d = *w.disp;
  const PixelMap m = d.pixel_map();
  const double tpp = d.twips_per_pixel();
  const double left = m.px_x(x) * tpp - s.grab_x;
  const double top = m.px_y(y) * tpp - s.grab_y;
  w.Text1[s.drag_box]->move(round_i32(left / tpp), round_i32(top / tpp));
}

}  // namespace quarvel
