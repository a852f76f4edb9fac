#include "acquisition/recording_header.h"

#include <QComboBox>
#include <QDir>
#include <QtEndian>

#include "core/main_window.h"
#include "core/numbers.h"

namespace quarvel {

QByteArray recording_header(MainWindow& w) {
  const SharedState& s = w.s;
  QByteArray h(128, '\0');
  char* p = h.data();
  memcpy(p, "Version 1.00", 12);
  qToLittleEndian<int16_t>(s.channel_count, p + 12);
  for (int ch = 1; ch <= 3; ++ch) qToLittleEndian<int16_t>(s.ch_source[ch], p + 12 + 2 * ch);
  qToLittleEndian<int16_t>(s.block_mode, p + 20);
  qToLittleEndian<int32_t>(s.block_length, p + 22);
  qToLittleEndian<int16_t>(round_i16(num(w.dly1->currentText())), p + 26);
  qToLittleEndian<int16_t>(round_i16(num(w.stim_num->currentText())), p + 28);
  qToLittleEndian<int16_t>(round_i16(num(w.interval->currentText())), p + 30);
  qToLittleEndian<int32_t>(round_i32(static_cast<double>(s.sample_interval) * 1000 * 1000), p + 32);
  return h;
}

QString propose_recording_name(const QString& dir) {
  int m = 0;
  for (const QString& n : QDir(dir).entryList({"data??.bin"}, QDir::Files))
    m = std::max(m, static_cast<int>(num(n.mid(4, 2))));
  return "data" + format(m + 1, "0#") + ".bin";
}

}  // namespace quarvel
