// What the program keeps between runs in the user's settings store: the acquisition settings a
// user types and the files opened last. A stored value is read back through the same checks as a
// typed one; a value missing from the store, or one those checks refuse, gives the start-up value.
#pragma once

#include <QSettings>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>

#include "core/calibration.h"

namespace quarvel {

// The settings of the acquisition panel, as measurement starts with them.
struct AcquisitionSettings {
  std::array<int, 3> inputs{0, 0, 0};  // entry of each ch_list: 0 none, 1..4 the input
  std::array<int, 3> gains{0, 0, 0};   // entry of each gain list: 0 1x .. 3 8x
  float sampling_rate = 10;            // Hz
  float scr_length = 8;                // s
  float file_length = 180;             // s
  int16_t stim_delay = 0;              // ms
  int16_t stim_count = 1;
  int16_t stim_interval = 0;  // ms
  int source = 0;             // entry of src_list: 0 the generator, 1 lines, 2 Firmata
  QString port;               // the device's port as port_list shows it
  int32_t baud = 115200;      // the device's baud rate
  int stimulus_pin = 13;      // the Firmata board's stimulus output; -1 for none (kept, not shown)

  bool operator==(const AcquisitionSettings&) const = default;
};

AcquisitionSettings read_acquisition_settings(const QSettings& store);
void write_acquisition_settings(QSettings& store, const AcquisitionSettings& a);

// The names, units and calibrations of inputs 1..4. An input whose stored values the calibration
// dialog would refuse keeps its default.
InputCalibrations read_input_calibrations(const QSettings& store);
void write_input_calibrations(QSettings& store, const InputCalibrations& c);

// The recent-files list of the File menu: at most this many, the most recent first.
constexpr int kRecentFileCount = 6;

QStringList read_recent_files(const QSettings& store);
void write_recent_files(QSettings& store, const QStringList& files);

// The list with path at its head: once only, and cut to kRecentFileCount.
QStringList with_recent_file(const QStringList& files, const QString& path);

}  // namespace quarvel
