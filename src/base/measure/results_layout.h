// The header row of the results grids for the block view and the continuous view.
#pragma once

#include <QString>
#include <QStringList>

namespace quarvel {

// Header cells of columns 0..7 (the block view leaves columns 6 and 7 without a header).
QStringList results_header_cells(bool block_view);

// The header cells joined by tabs, as inserted into a grid (6 cells in the block view, 8 in the
// continuous view).
QString results_header_text(bool block_view);

// The same in physical units: the corner cell names the channel (its caption), and the cells of
// the amplitude columns (y1, y2, ampl., tone; A, p-to-p) carry the unit, as wide as before where
// they fit. An empty caption and unit give the cells above.
QStringList results_header_cells(bool block_view, const QString& caption, const QString& unit);
QString results_header_text(bool block_view, const QString& caption, const QString& unit);

}  // namespace quarvel
