// One input file of the companion, read with the readers of File > Open: a .bin recording (either
// layout), a .prn sample file or an EDF/BDF file, taken into the shared state as File > Open leaves
// it, so the EDF+ export reads the same fields the window's does. A .bin file's frames are read
// from the file a portion at a time whenever they are needed, so a recording of any length
// converts in little memory; the other formats are read whole.
#pragma once

#include <QDateTime>
#include <QString>

#include "core/shared_state.h"
#include "datafile/bin_format.h"
#include "datafile/frame_portion.h"
#include "datafile/reading.h"
#include "datafile/result.h"

namespace quarvel {

enum class InputFormat { BinVersioned, BinOlder, Prn, Edf, EdfPlus, Bdf, BdfPlus };

struct InputRecording {
  InputFormat format = InputFormat::BinVersioned;
  // channel_count, ch_source (packed), block_mode, block_length (-1 unless a block file),
  // sample_interval, sample_count and data_file_name as File > Open sets them; raw_data and
  // marker_data hold the frames of a .prn or EDF file (no marker words for a .prn file) and
  // nothing for a .bin file.
  SharedState state;
  // Frames 0..sample_count - 1, from the arrays or from the file; readable more than once, the
  // first reading of a .bin file reporting its progress.
  FrameSource frames;
  bool streamed = false;               // frames come from the file (a .bin), reporting the reading's progress
  bool has_stimulus_settings = false;  // a versioned .bin: state.stim_* are the file's
  int signal_count = 0;                // an EDF/BDF file: its ordinary signals
  QDateTime header_start;              // an EDF/BDF file: the start its header states
};

// The answers File > Open would ask the user for; 0 when not given.
struct InputAnswers {
  int channels = 0;    // header-less .bin (1..3), .prn (1..2), EDF/BDF (first N signals; 0: all)
  double rate_hz = 0;  // .prn
};

// Reads the file at `path` by its extension (.bin, .prn, .edf, .bdf in any case), reporting the
// share read to `progress`. A failure's detail is a reason a user can act on: a header-less
// .bin without answers.channels, a .prn without channels or rate, or whatever the reader found.
Result<InputRecording> read_input(const QString& path, const InputAnswers& answers,
                                  const ReadProgress& progress = {});

// The format's name for people: "Quarvel recording (Version 1.00 header)", "EDF+", ...
QString input_format_name(InputFormat f);

}  // namespace quarvel
