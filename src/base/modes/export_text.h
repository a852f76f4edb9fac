// The texts the Copy menu puts on the clipboard for a word processor or a spreadsheet: the block
// means and the whole results table of one channel, and the numbers behind the curves on the
// screen. Columns are separated by tabs, lines by CR LF.
#pragma once

#include <QString>
#include <cstdint>

#include "core/shared_state.h"

namespace quarvel {

// The statistics rows of channel ch's results (records 1..store_row - 1), each block's under its
// label and the headings "ampl.", "tone", "period"; every line ends with CR LF. A unit (physical
// units) follows the headings of amplitudes: "ampl. µS".
QString block_means_text(const ResultsStore& results, int ch, int store_row, const QString& unit = {});

// Word: two tabs between the columns; Excel: one.
enum class TableLayout { Word, Excel };

// Every record of channel ch's results (records 1..store_row - 1): a blank line, the label and a
// heading line for each block, one line per reading, the statistics values under "ampl.",
// "tone" and "period". No CR LF after the last line. A unit follows the headings of amplitudes.
QString whole_table_text(const ResultsStore& results, int ch, int store_row, TableLayout layout,
                         const QString& unit = {});

struct CurvePoints {
  QString text;
  int32_t last = 0;  // the last sample of the view
};

// One line per sample of the view: its time (or frequency in the spectrum view) in the display
// unit, the single curve and the average of every shown channel as drawn, and the marker word.
// With the overplot view: one column per block of the current channel. scale_width is the user
// width of the plotting surface. No CR LF after the last line. In physical units the headings
// name the channels with their units.
CurvePoints curve_points_text(const SharedState& s, double scale_width);

}  // namespace quarvel
