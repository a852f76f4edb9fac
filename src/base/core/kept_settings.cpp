#include "core/kept_settings.h"

#include <optional>

#include "core/numbers.h"
#include "core/typed_values.h"

namespace quarvel {

namespace {

// Numbers are stored as the text a user would type, so that reading them back is typing them.
QString stored_text(const QSettings& store, const char* key) {
  return store.value(key).toString();
}

int list_entry(const QVariant& v, int entries, int otherwise) {
  bool ok = false;
  const int i = v.toInt(&ok);
  return ok && i >= 0 && i < entries ? i : otherwise;
}

int16_t stimulus(const QSettings& store, const char* key, int16_t otherwise) {
  return store.contains(key) ? stimulus_setting(stored_text(store, key)) : otherwise;
}

// A whole number as stored, digits with an optional minus sign; nullopt for anything else.
std::optional<int32_t> whole_number(const QString& text) {
  bool ok = false;
  const int32_t v = text.trimmed().toInt(&ok);
  return ok ? std::optional<int32_t>(v) : std::nullopt;
}

constexpr int kInputEntries = 5;  // none, 1. ch .. 4. ch
constexpr int kSourceEntries = 3;  // Generator, Serial lines, Firmata board
constexpr int32_t kLowestKeptBaud = 9600;
constexpr int32_t kHighestKeptBaud = 2000000;
constexpr qsizetype kLongestPort = 4096;  // a path; a longer stored value is cut
constexpr int kGainEntries = 4;   // 1x .. 8x

}  // namespace

AcquisitionSettings read_acquisition_settings(const QSettings& store) {
  AcquisitionSettings a;
  const QVariantList inputs = store.value("acquisition/inputs").toList();
  const QVariantList gains = store.value("acquisition/gains").toList();
  for (int i = 0; i < 3; ++i) {
    if (i < inputs.size()) a.inputs[static_cast<size_t>(i)] = list_entry(inputs[i], kInputEntries, 0);
    if (i < gains.size()) a.gains[static_cast<size_t>(i)] = list_entry(gains[i], kGainEntries, 0);
  }
  if (const auto rate = rate_from_text(stored_text(store, "acquisition/rate"))) a.sampling_rate = *rate;
  // The lengths are checked against the rate they will be used with.
  if (const auto screen = screen_length_from_text(stored_text(store, "acquisition/screen"), 1, 1.0f / a.sampling_rate))
    a.scr_length = *screen;
  if (const auto file = file_length_from_text(stored_text(store, "acquisition/file"), a.sampling_rate).seconds)
    a.file_length = *file;
  a.stim_delay = stimulus(store, "acquisition/delay", a.stim_delay);
  a.stim_count = stimulus(store, "acquisition/stimuli", a.stim_count);
  a.stim_interval = stimulus(store, "acquisition/interval", a.stim_interval);
  a.source = list_entry(store.value("acquisition/source"), kSourceEntries, 0);
  a.port = store.value("acquisition/port").toString().left(kLongestPort);
  if (const std::optional<int32_t> baud = whole_number(stored_text(store, "acquisition/baud"));
      baud && *baud >= kLowestKeptBaud && *baud <= kHighestKeptBaud)
    a.baud = *baud;
  // Pins 2..127 may carry the stimulus (0 and 1 are the serial link's); -1 none.
  if (const std::optional<int32_t> pin = whole_number(stored_text(store, "acquisition/stimulus_pin"));
      pin && (*pin == -1 || (*pin >= 2 && *pin <= 127)))
    a.stimulus_pin = *pin;
  return a;
}

void write_acquisition_settings(QSettings& store, const AcquisitionSettings& a) {
  QVariantList inputs, gains;
  for (int i = 0; i < 3; ++i) {
    inputs << a.inputs[static_cast<size_t>(i)];
    gains << a.gains[static_cast<size_t>(i)];
  }
  store.setValue("acquisition/inputs", inputs);
  store.setValue("acquisition/gains", gains);
  store.setValue("acquisition/rate", format_general(a.sampling_rate));
  store.setValue("acquisition/screen", format_general(a.scr_length));
  store.setValue("acquisition/file", format_general(a.file_length));
  store.setValue("acquisition/delay", QString::number(a.stim_delay));
  store.setValue("acquisition/stimuli", QString::number(a.stim_count));
  store.setValue("acquisition/interval", QString::number(a.stim_interval));
  store.setValue("acquisition/source", a.source);
  store.setValue("acquisition/port", a.port);
  store.setValue("acquisition/baud", QString::number(a.baud));
  store.setValue("acquisition/stimulus_pin", QString::number(a.stimulus_pin));
}

namespace {

QString input_key(int input, const char* field) {
  return QStringLiteral("calibration/input%1/%2").arg(input).arg(QLatin1String(field));
}

}  // namespace

InputCalibrations read_input_calibrations(const QSettings& store) {
  InputCalibrations all = default_calibrations();
  for (int i = 1; i <= kInputCount; ++i) {
    if (!store.contains(input_key(i, "gain"))) continue;
    CalibrationEntry e;
    e.name = store.value(input_key(i, "name")).toString();
    e.unit = store.value(input_key(i, "unit")).toString();
    e.gain = store.value(input_key(i, "gain")).toString();
    e.offset = store.value(input_key(i, "offset")).toString();
    const CalibrationOutcome o = calibration_from_entry(e, i);
    if (o.ok()) all[i] = o.calibration;
  }
  return all;
}

void write_input_calibrations(QSettings& store, const InputCalibrations& c) {
  for (int i = 1; i <= kInputCount; ++i) {
    store.setValue(input_key(i, "name"), c[i].name);
    store.setValue(input_key(i, "unit"), c[i].unit);
    // Written so that reading them back gives the same single-precision values.
    store.setValue(input_key(i, "gain"), float_text(c[i].gain));
    store.setValue(input_key(i, "offset"), float_text(c[i].offset));
  }
}

QStringList read_recent_files(const QSettings& store) {
  QStringList files;
  for (const QString& f : store.value("files/recent").toStringList())
    if (!f.isEmpty() && !files.contains(f) && files.size() < kRecentFileCount) files << f;
  return files;
}

void write_recent_files(QSettings& store, const QStringList& files) {
  store.setValue("files/recent", files);
}

QStringList with_recent_file(const QStringList& files, const QString& path) {
  QStringList l{path};
  for (const QString& f : files)
    if (f != path && l.size() < kRecentFileCount) l << f;
  return l;
}

}  // namespace quarvel
