#include "modes/clipboard_export.h"

#include <QLineEdit>

#include "app/main_window.h"
#include "core/colour.h"
#include "display/draw_curves.h"
#include "display/physical_units.h"
#include "modes/export_text.h"
#include "ui/surface.h"

namespace quarvel {

namespace {

// Palette entries of the picture and of the screen.
constexpr int kPaletteBlack = 0;
constexpr int kPaletteBlue = 9;
constexpr int kPaletteWhite = 15;

// The picture for printing: everything drawn black on white, the visible annotations printed
// into it, then the screen is given back its colours.
void copy_picture(MainWindow& w) {
  SharedState& s = w.s;
  Surface& d = *w.disp;
  w.services.clipboard->clear();
  d.set_back_colour(palette_colour(kPaletteWhite));
  d.set_fore_colour(palette_colour(kPaletteBlack));
  const PerChannel<int32_t> ch_colour = s.ch_colour, ave_colour = s.ave_colour, scale_colour = s.scale_colour;
  s.ch_colour.fill(kBlack);
  s.ave_colour.fill(kBlack);
  s.scale_colour.fill(kBlack);
  show_picture(w);

  // The annotations are boxes over the surface, not part of its picture: their texts are printed
  // where the boxes lie.
  for (QLineEdit* box : w.Text1) {
    if (box->isHidden()) continue;
    const PixelMap map = d.pixel_map();
    d.current_x = map.user_x(box->x());
    d.current_y = map.user_y(box->y());
    d.print(box->text());
  }
  w.services.clipboard->set_picture(d.image());

  d.set_back_colour(palette_colour(kPaletteBlue));
  d.set_fore_colour(palette_colour(kPaletteWhite));
  s.ch_colour = ch_colour;
  s.ave_colour = ave_colour;
  s.scale_colour = scale_colour;
  show_picture(w);
}

void copy_text(MainWindow& w, const QString& text) {
  w.services.clipboard->clear();
  w.services.clipboard->set_text(text);
}

}  // namespace

void copy_curve_points(MainWindow& w) {
  SharedState& s = w.s;
  if (!s.measure_mode && !s.file_loaded) return;
  w.set_busy(true);
  const CurvePoints points = curve_points_text(s, w.disp->scale_width());
  s.sweep_width = points.last;
  copy_text(w, points.text);
  w.set_busy(false);
}

void mnuCopyitem_Click(MainWindow& w, int index) {
  const SharedState& s = w.s;
  const int ch = s.current_ch;
  switch (index) {
    case 1:
      copy_picture(w);
      break;
    case 2:
      copy_text(w, block_means_text(s.results, ch, s.store_row[ch], shown_unit(s, ch)));
      break;
    case 3:
    case 4:
      copy_text(w, whole_table_text(s.results, ch, s.store_row[ch],
                                    index == 3 ? TableLayout::Word : TableLayout::Excel, shown_unit(s, ch)));
      // A copy is not a save: the clipboard is emptied at Exit and overwritten by the next copy,
      // so the readings are still asked about.
      break;
    case 5:
      copy_curve_points(w);
      break;
    default:
      break;
  }
}

}  // namespace quarvel
