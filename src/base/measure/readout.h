// The arithmetic of the mouse cursor on the plotting surface: where a press may put the time
// cursor, the time and amplitude it reads, the text of the readout label and where that label
// goes, and the band a threshold level is kept in. Plain functions on the shared state.
#pragma once

#include <QString>
#include <cstdint>

#include "core/shared_state.h"

namespace quarvel {

// Limits a cursor position (samples from view_start) to the data, in this order: not left of
// the time axis, not right of its end (0.8 W), and not past the end of the block (block views)
// or the last sample of the data (continuous views).
double clamp_cursor_x(double x, double width, bool block_mode, int32_t block_length, int32_t sample_count,
                      double view_start);

// The sample nearest to position pos (ties to even) of channel ch, with the position held inside
// the array; 0 when the channel has no samples.
float sample_at(const SampleArray& data, int ch, double pos);

// The averaged sample nearest to cursor x, held inside the averaged block (block_length
// samples) so a cursor at the very end reads the last averaged sample.
float average_at(const SampleArray& ave, int ch, double x, int32_t block_length);

// Time of cursor x in the display unit: inside the sweep in block views, since the start of the
// data in continuous views.
double readout_time(bool block_mode, double x, double view_start, double scr_length, double width);

// "1.50 s", "250.00ms": the time with two decimals followed by the two-character unit.
QString time_text(double t, const QString& unit);

// What the readout shows besides the time: nothing (overplot), a sample of the single curves,
// or a sample of the average.
enum class ReadoutSource { TimeOnly, Single, Average };

// The source of a view's readings: only the time in the overplot form; the single curve when
// Single or Single/Average is ticked, and always in the spectrum view (which shows no average);
// otherwise the average.
ReadoutSource readout_source(const SharedState& s, bool overplot_ticked, bool single_ticked);

// The value a reading at cursor x takes from that source (0 for TimeOnly).
float reading_at(const SharedState& s, double x, ReadoutSource source);

// The readout caption for a cursor at x: the time text, then ", " and the amplitude of the
// current channel unless only the time is shown, followed by its unit in physical units.
QString readout_text(const SharedState& s, double x, double width, ReadoutSource source);

// Where the readout label goes: beside the cursor at 1/60 of the width, on the right (text
// left-aligned) while the cursor is in the left half of the data area, else on the left (text
// right-aligned).
struct LabelPlace {
  double left = 0;
  bool right_aligned = false;
};
LabelPlace label_place(double x, double width, double label_width);

}  // namespace quarvel
