#include "app/remembered.h"

#include <QComboBox>
#include <QSettings>

#include "acquisition/device_source.h"
#include "app/main_window.h"
#include "core/kept_settings.h"
#include "core/numbers.h"
#include "core/typed_values.h"
#include "display/plot_geometry.h"
#include "ui/surface.h"

namespace quarvel {

namespace {

constexpr const char* kGeometryKey = "window/geometry";
constexpr const char* kRateKey = "acquisition/rate";

int16_t stimulus_box(const QComboBox* box) {
  return stimulus_setting(box->currentText());
}

}  // namespace

void keep_typed_settings(MainWindow& w) {
  const SharedState& s = w.s;
  QSettings* store = w.services.settings.get();
  if (!store || !s.measure_mode || s.acq_running) return;
  AcquisitionSettings a = read_acquisition_settings(*store);
  for (size_t i = 0; i < 3; ++i) {
    a.inputs[i] = w.ch_list[i]->currentIndex();
    a.gains[i] = w.gain[i]->currentIndex();
  }
  // A block view puts the sampling interval into the rate box and the block into the screen: the
  // continuous settings stay as they were kept.
  if (!s.block_mode) {
    a.sampling_rate = s.sampling_rate;
    a.scr_length = s.scr_length;
    a.file_length = s.file_length;
  }
  a.stim_delay = stimulus_box(w.dly1);
  a.stim_count = stimulus_box(w.stim_num);
  a.stim_interval = stimulus_box(w.interval);
  a.source = w.src_list->currentIndex();
  a.port = w.port_list->currentText();
  if (const std::optional<int32_t> baud = baud_from_text(w.baud_list->currentText());
      baud && baud_refusal(*baud).isEmpty())
    a.baud = *baud;
  if (store->contains(kRateKey) && a == read_acquisition_settings(*store)) return;
  write_acquisition_settings(*store, a);
}

void restore_typed_settings(MainWindow& w) {
  SharedState& s = w.s;
  const QSettings* store = w.services.settings.get();
  // The ports as the system lists them now; the source line says what is in use.
  fill_port_list(w);
  show_source(w);
  if (!store) return;
  s.input_calibration = read_input_calibrations(*store);
  // Until something was kept, measurement starts as it always has.
  if (!store->contains(kRateKey)) return;
  const AcquisitionSettings a = read_acquisition_settings(*store);
  for (size_t i = 0; i < 3; ++i) {
    w.ch_list[i]->setCurrentIndex(a.inputs[i]);
    w.gain[i]->setCurrentIndex(a.gains[i]);
    s.ch_source[static_cast<int>(i) + 1] = static_cast<int16_t>(a.inputs[i]);
  }
  s.channel_count = s.count_active_channels();
  s.sampling_rate = a.sampling_rate;
  s.sample_interval = 1.0f / a.sampling_rate;
  s.scr_length = s.cont_scr_length = a.scr_length;
  s.file_length = a.file_length;
  s.sample_count = round_i32(static_cast<double>(s.file_length) * s.sampling_rate);
  w.disp->set_scale_width(continuous_width(s));
  w.sampling_hz->setEditText(format_general(s.sampling_rate));
  w.scr_lng->setEditText(format_general(s.scr_length));
  w.file_lng->setEditText(format_general(s.file_length));
  w.dly1->setEditText(QString::number(a.stim_delay));
  w.stim_num->setEditText(QString::number(a.stim_count));
  w.interval->setEditText(QString::number(a.stim_interval));
  w.src_list->setCurrentIndex(a.source);
  s.signal_source = static_cast<int16_t>(a.source);
  if (!a.port.isEmpty()) w.port_list->setEditText(a.port);
  w.baud_list->setEditText(QString::number(a.baud));
  show_source(w);
}

void keep_window_geometry(MainWindow& w) {
  QSettings* store = w.services.settings.get();
  if (!store) return;
  store->setValue(kGeometryKey, w.saveGeometry());
  // The program may end at once after this: everything kept goes to disk now.
  store->sync();
}

void restore_window_geometry(MainWindow& w) {
  const QSettings* store = w.services.settings.get();
  if (!store) return;
  // Geometry of another screen setup is fitted to this one by Qt; a damaged value is ignored.
  (void)w.restoreGeometry(store->value(kGeometryKey).toByteArray());
}

}  // namespace quarvel
