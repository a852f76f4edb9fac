// Writes the demo recording that ships with the program: one minute of two channels at 100 Hz from
// the built-in generator, a stimulus mark every 10 seconds and the marker on from 25 to 35 s,
// through the same header encoder and recording writer a Record run uses.
//
//   build/demo/make_demo demo/rest_and_stimuli.bin
#include <QCoreApplication>
#include <cmath>
#include <cstdio>
#include <vector>

#include "acquisition/signal_source.h"
#include "core/numbers.h"
#include "core/shared_state.h"
#include "datafile/bin_format.h"
#include "datafile/recording_writer.h"

using namespace quarvel;

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (argc != 2) {
    std::fputs("usage: make_demo FILE.bin\n", stderr);
    return 2;
  }
  constexpr int kRateHz = 100;
  constexpr int kFrames = 60 * kRateHz;
  BinHeader h;
  h.channel_count = 2;
  h.ch_source[1] = 1;
  h.ch_source[2] = 2;
  h.stim_count = 1;
  h.interval_us = 1000000 / kRateHz;

  SharedState s;
  s.ch_source[1] = 1;
  s.ch_source[2] = 2;
  sim_sample(s, -1);
  QByteArray frames;
  std::vector<int16_t> samples(2);
  for (int32_t i = 0; i < kFrames; ++i) {
    // The second channel is the first, smoothed and scaled, so the two differ visibly.
    samples[0] = round_i16(sim_sample(s, 0));
    samples[1] = round_i16(0.5 * sim_sample(s, 0) + 40 * std::sin(i * 2 * M_PI / (4.0 * kRateHz)));
    const double t = static_cast<double>(i) / kRateHz;
    int16_t marker = 0;
    if (i > 0 && i % (10 * kRateHz) == 0) {
      marker = 200;
    } else if (t >= 25 && t < 35) {
      marker = 100;
    }
    append_frame(frames, samples, marker);
  }

  RecordingWriter rec;
  Status st = rec.create(QString::fromLocal8Bit(argv[1]), encode_bin_header(h));
  if (st) {
    rec.append(frames);
    st = rec.flush(frames.size());
  }
  if (st) st = rec.close();
  if (!st) {
    std::fprintf(stderr, "make_demo: %s\n", qPrintable(st.failure().detail));
    return 1;
  }
  return 0;
}
