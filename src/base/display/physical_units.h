// The loaded data in the channels' physical units: the working samples, the average and the
// automatic scales as a transformation of the samples read (work_data = gain x raw_data + offset
// per channel), the way Invert transforms them, so every view, reading and export that works on
// the working samples is in the unit in force. Converter units are raw_data itself, bit for bit.
#pragma once

#include <QString>

#include "core/shared_state.h"

namespace quarvel {

// Whether analysis shows the loaded data in physical units now.
inline bool in_physical_units(const SharedState& s) {
  return static_cast<bool>(s.physical_units) && !s.measure_mode;
}

// raw in the calibrations cal of its channels; a channel of the identity shares raw's samples.
// max_abs gets the largest absolute value of each channel transformed (left as it is for others).
SampleArray calibrated_samples(const SampleArray& raw, const PerChannel<Calibration>& cal,
                               PerChannel<float>& max_abs);

// work_data made anew from raw_data in the unit in force, with no filter in force. In physical
// units, physical_max (when given) gets the largest absolute value of each calibrated channel.
void rebuild_work_data(SharedState& s, PerChannel<float>* physical_max = nullptr);

// Switches the unit of work_data, the average and the channels' automatic scales (ch_max), and
// drops the filters in force. Back in converter units work_data is raw_data again and ch_max what
// it was before.
void set_physical_units(SharedState& s, bool on);

// The name of display channel ch: its calibration's, else "Input n" when the inputs tell the
// channels apart, else "Channel k".
QString channel_name(const SharedState& s, int ch);

// The unit of channel ch's readings in the unit in force: empty in converter units or for a
// channel without a unit, "unit²/Hz" in the spectrum view.
QString shown_unit(const SharedState& s, int ch);

// The channel named with its unit, "EDA (µS)", or its name alone when it shows no unit; empty for
// a channel the data do not hold.
QString channel_heading(const SharedState& s, int ch);

// What names channel ch's results table: its name in physical units, nothing in converter units
// or for a channel the data do not hold.
QString table_caption(const SharedState& s, int ch);

}  // namespace quarvel
