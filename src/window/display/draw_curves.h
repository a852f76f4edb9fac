// Curve plotting: the single curves, the average and the marker symbols of the current view
// (draw_curves), and the overplot picture of every block of the current channel (redraw).
#pragma once

namespace quarvel {

class MainWindow;

// Plots the data of the current view after draw_frame (single curves, average, marker symbols);
// does nothing unless in measurement mode or with a file loaded. Joined lines up to env_threshold
// samples per pixel, one min/max column per pixel above. Leaves sweep_width at the last sample of
// the view and disp_px_width at the surface's pixel width; the vertical scale is left at the
// last channel drawn.
void draw_curves(MainWindow& w);

// The overplot picture: the frame, then every block of the current channel drawn at x = 0, the
// first one first_disp % of the axis height below the axis top and each further one further_disp %
// lower. Leaves view_start at 0 and the current channel's ch_offset at the last displacement.
void redraw(MainWindow& w);

// The whole picture as the current display asks for it: redraw when Overplot is ticked,
// otherwise draw_frame followed by draw_curves.
void show_picture(MainWindow& w);

}  // namespace quarvel
