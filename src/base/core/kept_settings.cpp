#include "core/kept_settings.h"

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

constexpr int kInputEntries = 5;  // none, 1. ch .. 4. ch
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
