// Curve plotting: the single curves, the average and the marker symbols of the current view
// (draw_curves), and the overplot picture of every block of the current channel (redraw).
#pragma once

namespace quarvel {

class MainWindow;

// Plots the data of the current view after draw_frame; does nothing without data.
void draw_curves(MainWindow& w);

// The overplot picture: every block of the current channel, each moved further down.
void redraw(MainWindow& w);

// The whole picture as the current display asks for it: redraw when Overplot is ticked,
// otherwise draw_frame followed by draw_curves.
void show_picture(MainWindow& w);

}  // namespace quarvel
