// File > Open: loads a recording (.bin, both formats), a Labtech sample file (.prn) or an EDF/BDF
// file (.edf, .bdf: a continuous recording of up to three signals of one rate) into the sample
// arrays, sets the view the file was recorded in, resets the results grids and draws.
//
// A file is read in full before anything of the window changes: a file that cannot be read (an
// unknown extension, a damaged header, a cancelled question, a read error, an EDF file of more
// than three signals or of signals of different rates) gives the file-input message, for an EDF
// file followed by the reason, and leaves the window as it was. Readings not saved are asked about once the file has been read, before
// anything changes.
#pragma once

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

#include "core/shared_state.h"

namespace quarvel {

class MainWindow;

void mnuOpen_click(MainWindow& w);

// Opens the file at path as File > Open does once its dialog has returned the name: the start-up
// file and a file dropped on the window come in here too.
void open_path(MainWindow& w, const QString& path);

// A file read in full and not shown yet: what the readers gave back.
struct LoadedFile {
  bool prn = false;
  int16_t channel_count = 0;
  PerChannel<int16_t> ch_source = PerChannel<int16_t>::filled(0);
  PerChannel<float> ch_max = PerChannel<float>::filled(0.0f);
  Flag block_mode = kFalse;
  int32_t block_length = -1;
  bool has_stimulus_settings = false;  // a versioned .bin header
  int16_t stim_delay = 0;
  int16_t stim_count = 0;
  int16_t stim_interval = 0;
  float sample_interval = 0;
  int32_t sample_count = 0;
  SampleArray samples;  // channels 1..C, samples 0..sample_count - 1
  std::vector<int16_t> markers;
  std::optional<MarkerSummary> marker_summary;  // of markers, when the reader made it
  QString notes;  // what the user is told of the file once it is shown; empty for nothing
  // The channels' names, units and calibrations, as the file gives them.
  PerChannel<Calibration> calibration;
  QString status_note;  // added to the status line once the file is shown: a damaged calibration
};

// Shows a file read in full as File > Open does: the data taken into the shared state, the view
// the file was recorded in, the results tables reset, the picture drawn. path names the file in
// the caption and the status line.
void show_loaded_file(MainWindow& w, LoadedFile&& file, const QString& path);

extern const char* const kFileInputMessage;  // "Error encountered while trying to open file, please retry."
extern const char* const kFileInputTitle;    // "File input"

}  // namespace quarvel
