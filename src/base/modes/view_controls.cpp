#include "modes/view_controls.h"

namespace quarvel {

namespace {

QString indexed(const char* name, int i) {
  return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(i);
}

}  // namespace

void view_controls(const SharedState& s, const std::function<void(const ControlState&)>& visit) {
  const bool measuring = static_cast<bool>(s.measure_mode);
  const bool analysing = !measuring;
  const bool block = static_cast<bool>(s.block_mode);
  const bool spectrum = static_cast<bool>(s.psd_shown);
  const bool overplot = static_cast<bool>(s.overplot_on);
  const bool running = static_cast<bool>(s.acq_running);
  const bool recording = static_cast<bool>(s.recording);
  // A continuous recording holds the channels and their scales as they were when it started.
  const bool recording_continuous = recording && !block;
  // The display modes have curves to choose among once there is data or a block view.
  const bool curves = measuring || block || static_cast<bool>(s.file_loaded);
  const CurveChoice choice = s.curve_choice;

  auto add = [&visit](QString name, bool visible, bool enabled = true, bool checked = false) {
    visit(ControlState{std::move(name), visible, enabled, checked});
  };

  // --- the menu bar
  add("mnuFile", true, !recording);
  add("mnuOpen", analysing);
  add("mnuSaveResults", analysing);
  add("mnuExportEdf", analysing, static_cast<bool>(s.file_loaded));
  add("mnuSavePicture", true);
  add("separator1", analysing);
  add("mnuExit", true);
  add("mnuCopy", analysing);
  for (int i = 1; i <= 5; ++i) add(indexed("mnuCopyitem", i), true, i != 2 || !block);
  add("mnuZoom", analysing);
  for (const char* item : {"mnuExpand", "mnuCompress", "mnuZoom_sel"}) add(item, true);
  add("mnuDisplay", true, !recording_continuous);
  add("mnuS", true, curves, curves && !overplot && choice == CurveChoice::Single);
  add("mnuA", true, block, block && !overplot && choice == CurveChoice::Average);
  add("mnuS_A", true, block, block && !overplot && choice == CurveChoice::SingleAverage);
  add("mnuA_S", true, block, block && !overplot && choice == CurveChoice::AverageSingle);
  add("mnuOverplot", true, block && analysing, overplot);
  // Raw curves is ticked while the recorded samples are shown as they were read.
  add("mnuRaw", true, true, !spectrum && s.filters.empty());
  add("mnuPSD", true, block && analysing, spectrum);
  add("mnuFilter", analysing, static_cast<bool>(s.file_loaded) && !spectrum);
  // The unit of the loaded data's readings; the live sweep is always in converter units.
  const bool physical = static_cast<bool>(s.physical_units);
  add("separator4", analysing);
  add("mnuUnitsConverter", analysing, static_cast<bool>(s.file_loaded), !physical);
  add("mnuUnitsPhysical", analysing, static_cast<bool>(s.file_loaded), physical);
  add("mnuInvert", analysing, !spectrum);
  add("mnuMarksoff", analysing);
  add("mnuText", analysing);
  add("mnuTextInsert", true);
  add("mnuTextDelete", true);
  add("mnuPeaks", analysing, !block);
  add("mnuBlock", true, !recording && !spectrum);
  add("mnuContinuous", block, !recording);
  // The calibrations are those of the next recording; the last values the loop took stay.
  add("mnuCalibrate", measuring, !running && !recording);
  add("mnuMeasure", analysing);
  add("mnuQuarvel", measuring, !recording);

  // --- the acquisition panel
  add("controler", measuring);
  add("monitor", measuring && !block, !recording);
  add("store", measuring, !running && !recording);
  add("halt", measuring, running || recording);
  add("save", measuring && block, recording && block);
  add("stim", measuring, block || running);
  add("drug_button", measuring);
  for (const char* label : {"sampling_label", "hz", "ch_label", "gain_label"}) add(label, measuring);
  // A device's rate is set when its loop starts (a Firmata board's interval with it).
  const bool device = s.signal_source != 0;
  add("sampling_hz", measuring, !recording && !(running && device));
  // The source is chosen between runs; port and baud rate belong to a device.
  add("src_list", measuring, !running && !recording);
  add("port_list", measuring, device && !running && !recording);
  add("baud_list", measuring, device && !running && !recording);
  add("src_status", measuring);
  for (const char* length : {"scr_lng_label", "scr_lng", "scr_unit", "file_label", "file_lng", "file_unit"})
    add(length, measuring, !block && !recording);
  // The stimulus settings are those of the header a block recording started with.
  for (const char* stimulus : {"dly1_label", "dly1", "ms1_label", "stim_num_label", "stim_num",
                               "interval_label", "interval", "ms2_label"})
    add(stimulus, measuring, block && !recording);
  // Nothing is monitored or recorded until a channel has an input: the panel says what to choose.
  add("input_hint", measuring && s.count_active_channels() == 0);
  add("ave_count", measuring, block);
  add("ave_count_label", measuring, block);
  for (int i = 0; i < 3; ++i) {
    add(indexed("ch_list", i), measuring, !recording);
    add(indexed("gain", i), measuring, !recording);
  }

  // --- channels, scales and the average
  add("Frame1", true);
  for (int i = 0; i < 3; ++i)
    add(indexed("ch_select", i), true, !recording_continuous, i + 1 == s.current_ch);
  for (const char* scale : {"mul", "div", "pshift", "nshift"}) add(scale, true, !recording_continuous);
  add("accept", true, block && !spectrum && !recording_continuous);
  add("clear_ave", true, block && !spectrum && !recording_continuous);
  add("SA_label", true);

  // --- the results side
  for (const char* control : {"PgUp", "PgDn", "status", "add", "del", "Clear"}) add(control, analysing);
  add("newblk", analysing, !block);
  for (int i = 0; i < 3; ++i) add(indexed("Grid1", i), analysing && i + 1 == s.current_ch);
}

}  // namespace quarvel
