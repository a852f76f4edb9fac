#include "seeds.h"

#include <QFile>
#include <QTemporaryDir>
#include <cmath>
#include <cstring>

#include "core/numbers.h"
#include "datafile/bin_format.h"
#include "datafile/calibration_block.h"
#include "datafile/edf_export.h"
#include "datafile/le_bytes.h"
#include "properties.h"
#include "serial_properties.h"

namespace quarvel::fuzz {

namespace {

// A value per display channel and frame that covers both signs, fractions the writer rounds and,
// in the first frames, values it saturates.
float sample_value(int ch, int32_t s) {
  if (s == 0 && ch == 1) return 40000.0f;
  if (s == 1 && ch == 1) return -50000.5f;
  return static_cast<float>((s * 1234.25 - 3000.5) * (ch == 2 ? -1.5 : ch == 3 ? 0.25 : 1.0));
}

int16_t marker_of(int32_t s) {
  return s % 4 == 0 ? int16_t{100} : s % 7 == 3 ? int16_t{200} : int16_t{0};
}

// The frames the writer makes of `frames` generated samples on the display channels that have an
// input, with what the reader must give back from them.
QByteArray written_frames(const PerChannel<int16_t>& ch_source, int32_t frames, BinSeed& seed) {
  SampleArray data;
  data.redim(3, frames - 1);
  for (int ch = 1; ch <= 3; ++ch)
    for (int32_t s = 0; s < frames; ++s) data(ch, s) = sample_value(ch, s);
  std::vector<int16_t> markers;
  for (int32_t s = 0; s < frames; ++s) markers.push_back(marker_of(s));

  seed.channels = 0;
  for (int ch = 1; ch <= 3; ++ch) seed.channels += ch_source[ch] > 0 ? 1 : 0;
  seed.frames = frames;
  seed.samples.redim(seed.channels, frames - 1);
  int k = 1;
  for (int ch = 1; ch <= 3; ++ch) {
    if (ch_source[ch] <= 0) continue;
    for (int32_t s = 0; s < frames; ++s) seed.samples(k, s) = round_i16(data(ch, s));
    ++k;
  }
  seed.markers = markers;
  return encode_frames(data, ch_source, markers, 0, frames - 1);
}

BinSeed versioned(const char* name, PerChannel<int16_t> inputs, bool block, int32_t block_length,
                  int32_t interval_us, int32_t frames, int trailing_bytes = 0, bool calibrated = false) {
  BinSeed seed;
  seed.name = name;
  seed.format = BinFormat::Versioned;
  BinHeader& h = seed.header;
  h.ch_source = inputs;
  h.block_mode = Flag(block).stored();
  h.block_length = block_length;
  h.stim_delay = 20;
  h.stim_count = 2;
  h.stim_interval = 50;
  h.interval_us = interval_us;
  const QByteArray frame_bytes = written_frames(inputs, frames, seed);
  h.channel_count = static_cast<int16_t>(seed.channels);
  seed.interval_s = static_cast<float>(interval_us / 1e6);
  // A recording that ended abnormally: a frame cut short after the last whole one.
  QByteArray header = encode_bin_header(h);
  if (calibrated) {
    // Names and units of several lengths, a negative gain and an offset.
    std::vector<Calibration> channels;
    for (int k = 1; k <= seed.channels; ++k)
      channels.push_back(Calibration{QStringLiteral("ch%1").arg(k),
                                     k == 1 ? QString::fromUtf8("\u00b5S") : "mmHg",
                                     k == 2 ? -0.25f : 0.01f * k, 3.5f * k});
    header.replace(kCalibrationBlockOffset, kCalibrationBlockSize, encode_calibration_block(channels));
  }
  const QByteArray file = header + frame_bytes + QByteArray(trailing_bytes, '\x11');
  seed.input = bin_input(1 + frames % 3, file);  // never asked for a versioned file
  return seed;
}

BinSeed older(const char* name, int channels, int16_t interval_ms, int32_t frames,
              const char* typed_answer = nullptr, int trailing_bytes = 0) {
  BinSeed seed;
  seed.name = name;
  seed.format = BinFormat::Older;
  PerChannel<int16_t> inputs = PerChannel<int16_t>::filled(0);
  for (int ch = 1; ch <= channels; ++ch) inputs[ch] = 1;
  QByteArray file(2, '\0');
  put_le16(file.data(), interval_ms);
  file += written_frames(inputs, frames, seed);
  file += QByteArray(trailing_bytes, '\x22');
  BinHeader& h = seed.header;
  h.channel_count = static_cast<int16_t>(channels);
  h.ch_source = inputs;
  h.interval_us = interval_ms * 1000;
  seed.interval_s = static_cast<float>(interval_ms * 0.001);
  seed.input = typed_answer ? bin_input(0, file, typed_answer) : bin_input(channels, file);
  return seed;
}

float prn_value(int ch, int32_t i) {
  switch (i) {
    case 0:
      return ch == 1 ? 0.001f : -0.0f;
    case 1:
      return ch == 1 ? -123.456f : 3.0e36f;  // × 100 still a finite float
    default:
      return static_cast<float>((i * 0.37 - 1.2) * (ch == 1 ? 1.0 : -25.5));
  }
}

PrnSeed prn(const char* name, int channels, int32_t frames) {
  PrnSeed seed;
  seed.name = name;
  seed.channels = channels;
  seed.frames = frames;
  seed.samples.redim(channels, frames - 1);
  QByteArray file;
  for (int32_t i = 0; i < frames; ++i) {
    for (int ch = 1; ch <= channels; ++ch) {
      const float v = prn_value(ch, i);
      uint32_t bits = 0;
      std::memcpy(&bits, &v, sizeof bits);
      char bytes[4];
      put_le32(bytes, static_cast<int32_t>(bits));
      file.append(bytes, 4);
      seed.samples(ch, i) = v * 100.0f;
    }
  }
  seed.input = prn_input(channels, file);
  return seed;
}

NumberSeed number(const char* name, double value, const char* text) {
  return NumberSeed{name, number_input(value, QByteArray(text))};
}

}  // namespace

std::vector<BinSeed> bin_seeds() {
  std::vector<BinSeed> s;
  s.push_back(versioned("v-c1-empty", {1, 0, 0}, false, -1, 1000, 0));
  s.push_back(versioned("v-c1-f8", {2, 0, 0}, false, -1, 1000, 8));
  s.push_back(versioned("v-c2-f6-gap", {2, 0, 4}, false, -1, 500, 6));
  s.push_back(versioned("v-c2-f4-cut", {0, 1, 2}, false, -1, 250, 4, 5));
  s.push_back(versioned("v-c2-slow", {1, 3, 0}, false, -1, 1000000, 3));
  s.push_back(versioned("v-c3-f5", {1, 2, 3}, false, -1, 2000, 5));
  s.push_back(versioned("v-c3-block", {1, 2, 3}, true, 4, 10000, 8));
  s.push_back(versioned("v-c1-block-cut", {3, 0, 0}, true, 2, 1000, 5, 3));
  s.push_back(versioned("v-c1-f60", {4, 0, 0}, false, -1, 1000, 60));
  s.push_back(versioned("v-c2-calibrated", {1, 0, 3}, false, -1, 1000, 7, 0, true));
  s.push_back(older("o-c1-empty", 1, 1, 0));
  s.push_back(older("o-c1-f10", 1, 5, 10));
  s.push_back(older("o-c2-f6", 2, 1, 6));
  s.push_back(older("o-c3-f4", 3, 20, 4));
  s.push_back(older("o-c2-typed", 2, 10, 5, " 2 ", 1));
  s.push_back(older("o-c3-typed", 3, 2, 3, "3.0"));
  return s;
}

std::vector<PrnSeed> prn_seeds() {
  return {prn("p-c1-f1", 1, 1), prn("p-c1-f12", 1, 12), prn("p-c2-f1", 2, 1), prn("p-c2-f7", 2, 7),
          prn("p-c2-f30", 2, 30)};
}

namespace {

// A recording of `frames` whole-number samples with a stimulus mark and a trigger mark, exported
// as EDF+. With `discontinuous`, the same file declared EDF+D: its records follow one another
// without gaps, so it reads the same through the reader's own path for such files.
EdfSeed edf(const char* name, int channels, int32_t frames, double interval_s, int32_t block_length,
            bool discontinuous = false) {
  EdfSeed seed;
  seed.name = name;
  seed.channels = channels;
  seed.frames = frames;
  seed.samples.redim(channels, frames - 1);
  for (int ch = 1; ch <= channels; ++ch)
    for (int32_t s = 0; s < frames; ++s)
      seed.samples(ch, s) = static_cast<float>((s * 37 + ch * 1000) % 4001 - 2000);
  seed.markers.assign(static_cast<std::size_t>(frames), 0);
  for (int32_t s = frames / 5; s < frames / 5 + 3; ++s) seed.markers[static_cast<std::size_t>(s)] = 100;
  seed.markers[static_cast<std::size_t>(frames / 2)] = 200;

  EdfRecordingInfo info;
  info.channel_count = channels;
  info.sample_count = frames;
  for (int ch = 1; ch <= channels; ++ch) info.ch_source[ch] = static_cast<int16_t>(ch);
  info.sample_interval = interval_s;
  info.block_mode = block_length > 0;
  info.block_length = block_length;
  info.start = QDateTime(QDate(2024, 5, 2), QTime(9, 30));
  QTemporaryDir dir;
  const QString path = dir.filePath("seed.edf");
  QByteArray file;
  if (export_edf(path, seed.samples, seed.markers, info)) {
    QFile in(path);
    if (in.open(QIODevice::ReadOnly)) file = in.readAll();
  }
  // The reserved field at byte 192 says which kind of EDF+ file this is.
  if (discontinuous && file.mid(192, 5) == "EDF+C") file[196] = 'D';
  seed.input = edf_input(channels, file);
  return seed;
}

}  // namespace

std::vector<EdfSeed> edf_seeds() {
  return {edf("e-c2-1khz", 2, 1500, 0.001, 0), edf("e-c1-blocks", 1, 200, 0.004, 50),
          edf("e-c3-100hz", 3, 300, 0.01, 0), edf("e-c2-discontinuous", 2, 1500, 0.001, 0, true)};
}

std::vector<NumberSeed> number_seeds() {
  return {number("n-two-places", 3.14159, "0.00"),
          number("n-grouped-unit", -1234.5678, "#,##0.0 mV"),
          number("n-small", 0.0005, "0.000"),
          number("n-general", 1e7, ""),
          number("n-half", 2.5, "##"),
          number("n-optional-places", 1e-9, "0.0###"),
          number("n-negative-zero", -0.004, "0.00"),
          number("n-integer", 123456789.987, "0"),
          number("n-caption", 0.5, "Gain: #.# x"),
          number("n-literal", 42, "no digits"),
          number("n-trailing-point", -7.25, "##.##."),
          number("n-exponent-text", 1.5, " -0.75E+2"),
          number("n-round-up", 99.995, "0.00"),
          number("n-huge", 1e300, "0.0")};
}

namespace {

SerialSeed serial(const char* name, std::initializer_list<int> inputs, int piece, QByteArray stream) {
  return SerialSeed{name, serial_input(InputSet::of(inputs), piece, stream)};
}

QByteArray sketch_lines(int n) {
  QByteArray b = "3 1023\r\n";  // the end of a line the port opened in
  for (int k = 0; k < n; ++k)
    b += QByteArray::number(k * 37 % 1024) + ' ' + QByteArray::number(511 + k) + " 204 " +
         QByteArray::number(k % 2 ? 818 : 204) + "\r\n";
  return b;
}

// A StandardFirmata board starting up and reporting A0..A3 `passes` times.
QByteArray firmata_board(int passes) {
  QByteArray b("\xF9\x02\x05\xF0\x79\x02\x05S\0F\0\xF7", 12);
  for (int k = 0; k < passes; ++k)
    for (int ch = 0; ch < 4; ++ch) {
      const int v = (k * 100 + ch * 250) % 1024;
      b += static_cast<char>(0xE0 | ch);
      b += static_cast<char>(v & 0x7F);
      b += static_cast<char>(v >> 7);
    }
  return b;
}

}  // namespace

std::vector<SerialSeed> line_seeds() {
  return {serial("l-sketch-4", {1, 2, 3, 4}, 0, sketch_lines(20)),
          serial("l-sketch-pieces", {1, 3}, 5, sketch_lines(12)),
          serial("l-labels", {1, 2}, 0, "\nA0:12,A1:-3.5\nA0:1e3\tA1:+7\n"),
          serial("l-faults", {2, 4}, 3,
                 "x\n1 2 3 4\n1 2\n9 nan 9 9\n\n70000 -70000 1 2.5\n" + QByteArray(1100, '8') + "\n5 6 7 8"),
          serial("l-decimals", {1}, 1, "\n0.5\n1.5\n-2.5\n32767.5\n1e400\n")};
}

std::vector<SerialSeed> firmata_seeds() {
  return {serial("f-board-4", {1, 2, 3, 4}, 0, firmata_board(10)),
          serial("f-board-pieces", {1, 3}, 2, firmata_board(6)),
          serial("f-mapping", {1}, 0, QByteArray("\xF9\x02\x05\xF0\x6A\x7F\x7F\x00\x01\xF7\xE0\x10\x01", 13)),
          serial("f-faults", {1, 2}, 1,
                 QByteArray("\x11\xE0\x05\xE1\x01\x00\xA5\x01\xF0\x79\x02\xE0\x7F\x07\xF0\xF7\xF7"
                            "\xE1\x02\x00\xE0\x03\x00\xE0\x04\x00\x91\x20\x01",
                            29))};
}

}  // namespace quarvel::fuzz
