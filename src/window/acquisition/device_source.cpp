#include "acquisition/device_source.h"

#include <QComboBox>
#include <QLabel>
#include <QSettings>

#include "acquisition/serial_port.h"
#include "app/main_window.h"
#include "core/kept_settings.h"

namespace quarvel {

const char* const kDeviceTitle = "Serial device";

SourceKind chosen_source(const MainWindow& w) {
  return source_of(w.s.signal_source);
}

QString chosen_port(const MainWindow& w) {
  const QString text = w.port_list->currentText();
  for (int i = 0; i < w.port_list->count(); ++i)
    if (w.port_list->itemText(i) == text) return w.port_list->itemData(i).toString();
  return text.trimmed();
}

DeviceSettings chosen_device_settings(const MainWindow& w) {
  const SharedState& s = w.s;
  DeviceSettings d;
  d.kind = device_kind(chosen_source(w));
  d.port = chosen_port(w);
  // A text that is no whole number is refused as a baud rate out of range.
  d.baud = baud_from_text(w.baud_list->currentText()).value_or(0);
  for (int ch = 1; ch <= 3; ++ch) d.inputs.add(s.ch_source[ch]);
  d.rate_hz = s.sampling_rate;
  if (const QSettings* store = w.services.settings.get())
    d.stimulus_pin = read_acquisition_settings(*store).stimulus_pin;
  return d;
}

std::unique_ptr<SerialDevice> start_chosen_device(MainWindow& w) {
  DeviceStart started = SerialDevice::start(chosen_device_settings(w));
  if (!started.device) {
    w.dialogs().warning(started.error, kDeviceTitle);
    show_source(w);
    return nullptr;
  }
  return std::move(started.device);
}

void finish_device_run(MainWindow& w, SerialDevice& device, const QString& ended) {
  device.stop();
  show_source_status(w, device.status());
  if (!ended.isEmpty()) w.dialogs().warning(ended, kDeviceTitle);
}

namespace {

void set_source_text(MainWindow& w, const QString& text) {
  w.src_status->setText(text);
  w.src_status->setAccessibleName(text);
}

int32_t baud_in_box(const MainWindow& w) {
  return baud_from_text(w.baud_list->currentText()).value_or(0);
}

}  // namespace

void show_source(MainWindow& w) {
  set_source_text(w, source_line(chosen_source(w), chosen_port(w), baud_in_box(w)));
}

void show_source_status(MainWindow& w, const DeviceStatus& st) {
  QString line = running_source_line(chosen_source(w), chosen_port(w), baud_in_box(w), w.s.sampling_rate, st);
  if (!st.end_reason.isEmpty()) line += QStringLiteral(". ") + st.end_reason;
  set_source_text(w, line);
}

void fill_port_list(MainWindow& w) {
  const QString shown = w.port_list->currentText();
  w.port_list->clear();
  for (const PortChoice& p : list_serial_ports()) w.port_list->addItem(port_caption(p), p.path);
  w.port_list->setEditText(shown.isEmpty() && w.port_list->count() > 0 ? w.port_list->itemText(0) : shown);
}

void src_list_click(MainWindow& w) {
  const SourceKind before = chosen_source(w);
  const SourceKind k = source_of(w.src_list->currentIndex());
  w.s.signal_source = static_cast<int16_t>(k);
  if (is_device(k) && k != before) {
    w.baud_list->setEditText(QString::number(default_baud(k)));
    fill_port_list(w);
  }
  show_source(w);
}

}  // namespace quarvel
