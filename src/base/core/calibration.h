// A channel's name, unit and linear calibration: physical value = gain x converter value + offset.
// Inputs 1..4 carry one each in measurement; a recording stores those of its channels, and a
// loaded file gives one to each display channel. Gain and offset are single precision, as the
// data file stores them, so a value set here reads back from a file unchanged.
#pragma once

#include <QString>

#include "core/indexed.h"

namespace quarvel {

constexpr int kInputCount = 4;
constexpr int kNameBytes = 10;  // UTF-8 bytes a stored name may have
constexpr int kUnitBytes = 6;   // and a unit

struct Calibration {
  QString name;  // empty: the channel's default name (channel_name)
  QString unit;  // empty: converter units, no unit shown
  float gain = 1;
  float offset = 0;

  bool operator==(const Calibration&) const = default;
  bool identity() const { return gain == 1.0f && offset == 0.0f; }
  float physical(float converter) const { return gain * converter + offset; }
  float converter(float physical) const { return (physical - offset) / gain; }
};

// One per input 1..4.
using InputCalibrations = IndexedArray<Calibration, 1, kInputCount>;

// "Input n".
QString default_input_name(int input);
// What an input has until the user sets it: its default name, no unit, the identity.
Calibration default_calibration(int input);
bool is_default(const Calibration& c, int input);
InputCalibrations default_calibrations();

// What a row of the calibration dialog holds, as typed: the name and unit, and either two points
// (converter value x -> physical value y) or gain and offset.
struct CalibrationEntry {
  QString name;
  QString unit;
  bool by_points = false;
  QString x1, y1, x2, y2;
  QString gain, offset;
};

using InputEntries = IndexedArray<CalibrationEntry, 1, kInputCount>;

// The entry of a calibration as the dialog first shows it: by gain and offset.
CalibrationEntry entry_of(const Calibration& c);

// The shortest decimal (C notation) that reads back as v in single precision.
QString float_text(float v);

// The calibration a row describes, or why it is refused: a name that is empty or does not fit
// kNameBytes, a unit that does not fit kUnitBytes, either with a control character; a number
// that is not one (a decimal point, not a comma), not finite, or beyond single precision; two
// points of one converter value; a gain of 0. The refusal names the input.
struct CalibrationOutcome {
  Calibration calibration;
  QString refusal;  // empty when the row is good
  bool ok() const { return refusal.isEmpty(); }
};
CalibrationOutcome calibration_from_entry(const CalibrationEntry& e, int input);

// Why a name or unit cannot be stored in at most max_bytes of UTF-8; empty when it can.
QString text_refusal(const QString& text, int max_bytes, const QString& what);

}  // namespace quarvel
