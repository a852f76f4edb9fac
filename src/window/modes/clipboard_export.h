// The Copy menu: the picture of the display in black on white, the block means, the whole
// results table for a word processor or a spreadsheet, and the curve points.
#pragma once

namespace quarvel {

class MainWindow;

// Item 1 picture, 2 block means, 3 whole table (Word), 4 whole table (Excel), 5 curve points;
// any other index does nothing.
void mnuCopyitem_Click(MainWindow& w, int index);

// The numbers behind the curves now shown, one line per sample, onto the clipboard. Only in
// measurement mode or with a file loaded.
void copy_curve_points(MainWindow& w);

}  // namespace quarvel
