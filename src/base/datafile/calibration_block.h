// The channels' names, units and calibrations in the unused bytes 36..127 of a .bin header, as a
// tagged, versioned block with a checksum. Readers that ignore those bytes still read the file;
// a recording whose channels all have their inputs' defaults keeps them zero.
//
// Layout (little-endian, offsets in the header):
//    36   4  tag "QCAL"
//    40   1  version, 1
//    41   1  record count, the header's channel count C
//    42  78  three records of 26 bytes, one per recorded channel in frame order; unused ones zero:
//              +0  4  gain, IEEE float32
//              +4  4  offset, IEEE float32
//              +8  1  name length in bytes (0..10), then 10 bytes of UTF-8, zero-padded
//             +19  1  unit length in bytes (0..6), then 6 bytes of UTF-8, zero-padded
//   120   4  CRC-32 (IEEE 802.3, as zlib computes it) of bytes 36..119
//   124   4  zero
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <cstdint>
#include <span>
#include <vector>

#include "core/calibration.h"
#include "core/indexed.h"

namespace quarvel {

constexpr int kCalibrationBlockOffset = 36;
constexpr int kCalibrationBlockSize = 92;

enum class CalibrationBlockStatus {
  Absent,   // zero bytes, or another tag: the file is in converter units
  Read,     // the block was found whole
  Damaged,  // the tag is there but the block is not whole; the file reads in converter units
};

struct CalibrationBlock {
  CalibrationBlockStatus status = CalibrationBlockStatus::Absent;
  std::vector<Calibration> channels;  // Read: one per recorded channel, in frame order
  QString problem;                    // Damaged: what is wrong, in a few words
};

// The 92 bytes for the recorded channels' calibrations (1..3 of them, in frame order; more are
// not written). Names and units must fit (calibration_from_entry checks them); longer ones are cut
// at a character boundary.
QByteArray encode_calibration_block(std::span<const Calibration> channels);

// The block in a header of at least 128 bytes whose channel count is channel_count.
CalibrationBlock decode_calibration_block(QByteArrayView header, int channel_count);

// The calibrations of display channels 1..3 a block read whole gives, the identity for the
// channels it does not hold and for a block absent or damaged.
PerChannel<Calibration> channel_calibrations(const CalibrationBlock& block);

// What the header of a recording stores: the calibrations of the recorded channels' inputs (from
// input_calibration, indexed by input) in frame order, or none when every one is its input's
// default, so that such a recording stays byte for byte what it was before calibrations.
std::vector<Calibration> calibrations_to_store(const PerChannel<int16_t>& ch_source,
                                               const InputCalibrations& input_calibration);

// CRC-32 of the IEEE 802.3 polynomial (reflected, initial and final value 0xFFFFFFFF).
uint32_t crc32_ieee(QByteArrayView bytes);

}  // namespace quarvel
