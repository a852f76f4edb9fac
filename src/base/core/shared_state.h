// The shared state of the program: acquisition settings, recorded and loaded data, display
// geometry, run flags, files, modes and measurement state. One instance lives for the whole run;
// the window's handlers and the procedures of every subsystem read and write its fields directly.
//
// Representation: int16/int32/float32 fields keep the widths the program and its data files rely
// on; positions on the time axis are double, exact to the sample far past the 2^24 samples a
// float holds; flags are int16 with true = -1 and false = 0. Per-channel arrays are indexed by display
// channel 1..3, sample arrays by sample from 0.
#pragma once

#include <QString>
#include <cstdint>
#include <vector>

#include "core/calibration.h"
#include "core/colour.h"
#include "core/flag.h"
#include "core/indexed.h"
#include "core/marker_array.h"
#include "core/results_store.h"
#include "core/uniform_random.h"
#include "modes/filter_settings.h"

namespace quarvel {


constexpr float kNoLevel = -10000000.0f;  // level_y without a threshold level

// The curves a view shows as the Display menu ticks them: the single curves, the average, both
// with the average grey, or both with the single curves grey.
enum class CurveChoice : int16_t { Single, Average, SingleAverage, AverageSingle };

struct SharedState {
  // --- acquisition settings
  float sampling_rate = 10;
  float sample_interval = 0.1f;
  float file_length = 180;
  int32_t sample_count = 1800;
  int16_t channel_count = 1;
  PerChannel<int16_t> ch_source = PerChannel<int16_t>::filled(0);
  int16_t current_ch = 1;
  Flag block_mode = kFalse;
  int16_t stim_delay = 0;
  int16_t stim_count = 1;
  int16_t stim_interval = 0;
  // Where the samples come from: 0 the generator, 1 Serial Plotter lines, 2 a Firmata board.
  int16_t signal_source = 0;

  // --- recorded and loaded data
  SampleArray raw_data;
  SampleArray work_data;
  MarkerArray marker_data;  // 0 none, 100 marker on, 200 stimulus
  SampleArray ave_data;
  float ave_n = 0;
  // Where the blocks accept added to the average of an analysis block view start, in the order
  // added (a block accepted twice is there twice), so the average can be made anew from other
  // samples of the same blocks.
  std::vector<double> ave_starts;
  float saved_count = 0;
  int32_t block_length = -1;
  int32_t block_count = -1;
  int32_t cur_block = 0;
  PerChannel<float> ch_max = PerChannel<float>::filled(1000.0f);

  // --- display geometry
  float scr_length = 8;
  float scr_factor = 1;
  IndexedArray<QString, 0, 3> unit_text{QStringLiteral(" s"), QString(), QStringLiteral(" s"), QString()};
  float cont_scr_length = 8;
  float cont_scr_factor = 1;
  float blk_scr_length = 0;
  float blk_scr_factor = 0;
  double view_start = 0;  // sample index at the left edge; fractional after a zoom
  int32_t sweep_width = 0;
  int16_t disp_px_width = 0;
  IndexedArray<float, 1, 20> range_table{5000, 4000, 2000, 1000, 500, 250, 125,  100,  50,   25,
                                         20,   10,   5,    4,    2,   1,   0.5f, 0.3f, 0.2f, 0.1f};
  int16_t range_count = 20;
  PerChannel<int16_t> range_index = PerChannel<int16_t>::filled(4);
  PerChannel<float> ch_range = PerChannel<float>::filled(0.0f);
  PerChannel<int16_t> shift_steps = PerChannel<int16_t>::filled(0);
  PerChannel<float> ch_offset = PerChannel<float>::filled(0.0f);
  PerChannel<int32_t> ch_colour{kWhite, kYellow, kCyan};
  PerChannel<int32_t> scale_colour{kWhite, kYellow, kCyan};
  PerChannel<int32_t> ave_colour = PerChannel<int32_t>::filled(kGrey);
  Flag show_single = kTrue;
  Flag show_average = kFalse;
  CurveChoice curve_choice = CurveChoice::Single;

  // frame geometry written by draw_frame, in user units of disp
  float plot_left = 0;
  float plot_right = 0;
  float time_axis_y = 0;
  float amp_axis_x = 0;
  float amp_axis_top = 0;
  float amp_axis_bottom = 0;

  // display settings
  int16_t time_divs = 4;
  int16_t amp_divs = 4;
  int16_t env_threshold = 6;

  // --- run state of acquisition and recording
  Flag acq_running = kFalse;
  Flag stop_request = kFalse;
  Flag sweep_restart = kFalse;
  Flag recording = kFalse;
  Flag timer_tick = kFalse;
  int16_t marker_state = 0;
  int16_t marker_saved = 0;
  float sim_phase = 0;
  float block_phase = 0;
  UniformRandom rng;  // the program-wide generator behind sim_sample and block samples

  // --- files
  QString data_file_name;
  QString file_ext;
  QString file_base;
  int16_t rec_file_no = 0;
  int16_t data_file_no = 0;
  Flag file_loaded = kFalse;

  // --- modes
  Flag measure_mode = kFalse;
  Flag psd_shown = kFalse;
  Flag overplot_on = kFalse;
  PerChannel<float> first_disp = PerChannel<float>::filled(0.0f);
  PerChannel<float> further_disp = PerChannel<float>::filled(0.0f);
  int32_t blk_block_length = 0;
  PerChannel<float> saved_ch_max = PerChannel<float>::filled(0.0f);

  // --- filters
  // In force on work_data, in the order applied; none while work_data are the raw samples.
  std::vector<FilterSettings> filters;
  // What the Filter dialog offers: the settings last taken.
  FilterSettings filter_proposal{.kind = FilterKind::LowPass,
                                 .order = 2,
                                 .corner_hz = 1,
                                 .low_hz = 0.1,
                                 .high_hz = 1,
                                 .centre_hz = 50,
                                 .width_hz = 2};

  // --- measurement state
  double cursor_x = -1;  // samples from view_start
  PerChannel<float> level_y = PerChannel<float>::filled(kNoLevel);
  double sel_x1 = -1;  // sample indices
  double sel_x2 = -1;
  Flag peak_mode = kFalse;
  int16_t level_div = 8;
  PerChannel<int16_t> grid_row = PerChannel<int16_t>::filled(1);
  PerChannel<int16_t> block_row = PerChannel<int16_t>::filled(1);
  PerChannel<int16_t> store_row = PerChannel<int16_t>::filled(1);
  PerChannel<int16_t> grid_col = PerChannel<int16_t>::filled(1);
  float baseline = 0;
  ResultsStore results;
  // A channel's table holds readings written since it was last saved, copied whole or reset.
  PerChannel<Flag> readings_unsaved = PerChannel<Flag>::filled(kFalse);

  // --- annotations
  Flag text_drag = kFalse;
  int16_t text_sel = 0;
  int16_t drag_box = 0;
  float grab_x = 0;
  float grab_y = 0;
  float saved_scale_w = 0;

  // --- channels in physical units
  InputCalibrations input_calibration = default_calibrations();  // set in measurement, kept
  InputEntries calibration_rows;  // the calibration dialog's rows as the user left them
  // The last converter value the acquisition loop took of each input, once it took one.
  IndexedArray<int16_t, 1, kInputCount> input_value = IndexedArray<int16_t, 1, kInputCount>::filled(0);
  IndexedArray<Flag, 1, kInputCount> input_sampled = IndexedArray<Flag, 1, kInputCount>::filled(kFalse);
  PerChannel<Calibration> ch_calibration;  // of the loaded data's channels
  // Analysis shows work_data and the average in the channels' physical units; ch_max holds the
  // physical scale then, and converter_ch_max the converter one it replaced.
  Flag physical_units = kFalse;
  PerChannel<float> converter_ch_max = PerChannel<float>::filled(0.0f);

  // --- power spectrum
  int32_t fft_n = 0;
  SampleArray spectrum;
  PerChannel<float> psd_max = PerChannel<float>::filled(0.0f);

  // Number of display channels whose ch_source > 0.
  int16_t count_active_channels() const;

  // The sample arrays of one generated block in block measurement: raw_data and work_data of
  // channels 1..3 and marker_data over 0..block_length - 1, all zero; sample_count the last index.
  void dim_measurement_block();
};

}  // namespace quarvel
