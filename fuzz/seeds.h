// The seed inputs of the fuzz targets: small valid files made by the program's own writer, and
// the data each was made from, so the replay test can check that reading gives it back.
#pragma once

#include <QByteArray>
#include <cstdint>
#include <string>
#include <vector>

#include "core/indexed.h"
#include "datafile/bin_reader.h"

namespace quarvel::fuzz {

struct BinSeed {
  std::string name;  // file name under fuzz/corpus/bin/
  QByteArray input;  // the fuzz input: answer byte(s), then the file
  BinFormat format = BinFormat::Versioned;
  BinHeader header;  // as written (versioned) or as the older format implies it
  int channels = 0;
  int32_t frames = 0;
  float interval_s = 0;
  SampleArray samples;           // what the reader must give, channels 1..channels
  std::vector<int16_t> markers;  // one per frame
};

struct PrnSeed {
  std::string name;  // under fuzz/corpus/prn/
  QByteArray input;
  int channels = 0;
  int32_t frames = 0;
  SampleArray samples;  // each value × 100, as the reader gives it
};

// An EDF+ file made by the program's EDF export (whole-number samples, so they read back exactly).
struct EdfSeed {
  std::string name;  // under fuzz/corpus/edf/
  QByteArray input;
  int channels = 0;
  int32_t frames = 0;
  SampleArray samples;           // channels 1..channels
  std::vector<int16_t> markers;  // one per frame
};

struct NumberSeed {
  std::string name;  // under fuzz/corpus/numbers/
  QByteArray input;
};

// A stream from a serial device, as serial_case() reads it.
struct SerialSeed {
  std::string name;  // under fuzz/corpus/lines/ or fuzz/corpus/firmata/
  QByteArray input;
};

std::vector<BinSeed> bin_seeds();
std::vector<PrnSeed> prn_seeds();
std::vector<EdfSeed> edf_seeds();
std::vector<NumberSeed> number_seeds();
std::vector<SerialSeed> line_seeds();
std::vector<SerialSeed> firmata_seeds();

}  // namespace quarvel::fuzz
