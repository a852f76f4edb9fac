// How a fuzz input becomes a call of a reader or number helper, and what must hold of the answer.
// The libFuzzer targets and the replay test share this, so a saved input is judged the same way with
// or without clang.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <string>
#include <vector>

#include "datafile/bin_reader.h"
#include "datafile/edf_reader.h"
#include "datafile/prn_reader.h"

namespace quarvel::fuzz {

// The properties an input broke, one line each; empty when everything held.
using Findings = std::vector<std::string>;

// A .bin case. The first input byte stands for the answer typed when an older (header-less) file
// asks for its channel count: its low two bits 0, 1, 2 answer "1", "2", "3"; 3 takes the next
// (byte >> 2) bytes as the typed text, whatever they are. The remaining bytes are the file.
struct BinCase {
  QString answer;
  QByteArray file;
};
BinCase bin_case(QByteArrayView input);
// The input that reads `file` with the answer "1", "2" or "3" (`channels`), or with `typed_answer`
// when channels is 0 (at most 63 bytes).
QByteArray bin_input(int channels, QByteArrayView file, QByteArrayView typed_answer = {});
// Reads the case with parse_bin and read_bin (a device, with progress) and checks both answers.
Findings check_bin(const BinCase& c);
// Checks one answer of `reader` for the case: the value or failure its bytes call for, and every
// property of a value.
Findings check_bin_read(const BinCase& c, const Result<BinContents>& r, const char* reader);

// A .prn case. The first input byte picks the channel count: bit 0 clear 1, set 2, except 0xFE and
// 0xFF, which ask for 0 and 3 channels (both must be refused). The remaining bytes are the file.
struct PrnCase {
  int channels = 1;
  QByteArray file;
};
PrnCase prn_case(QByteArrayView input);
QByteArray prn_input(int channels, QByteArrayView file);
Findings check_prn(const PrnCase& c);
Findings check_prn_read(const PrnCase& c, const Result<PrnContents>& r, const char* reader);

// An EDF/BDF case. The low two bits of the first input byte answer "1", "2", "3" or "9" when the
// reader asks how many signals to read; the remaining bytes are the file. The reader takes a file
// name, so the file is written to `path` first.
struct EdfCase {
  QString answer;
  QByteArray file;
};
EdfCase edf_case(QByteArrayView input);
QByteArray edf_input(int channels, QByteArrayView file);
// Writes the case's file to `path`, reads it with read_edf and checks the answer.
Findings check_edf(const EdfCase& c, const QString& path);
// Checks one answer of the reader, given the signal counts the channel question was asked with.
Findings check_edf_read(const EdfCase& c, const Result<EdfContents>& r, const std::vector<int>& asked);

// A number helper case: the first 8 bytes are the bits of a double (little-endian, zero-filled when
// the input is shorter), the rest is UTF-8 text used both as a picture pattern and as text for num().
struct NumberCase {
  double value = 0;
  QString text;
};
NumberCase number_case(QByteArrayView input);
QByteArray number_input(double value, QByteArrayView text);
Findings check_numbers(const NumberCase& c);

}  // namespace quarvel::fuzz
