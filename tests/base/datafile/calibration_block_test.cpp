// Guards the channels' calibrations in bytes 36..127 of a .bin header: the block byte for byte and
// through the reader, default channels storing nothing, every kind of damage read as converter
// units with a reason; and the calibration a dialog row describes, with each refusal it must give.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <limits>

#include "base/datafile/byte_helpers.h"
#include "datafile/bin_reader.h"
#include "datafile/calibration_block.h"

using namespace quarvel;
using quarvel::testing::bytes_of;

namespace {

const Calibration kEda{"EDA", QString::fromUtf8("\u00b5S"), 0.5f, -2.0f};
const Calibration kTemp{QString::fromUtf8("Haut\u00b0"), QString::fromUtf8("\u00b0C"), 0.01f, 20.0f};

// Two channels on inputs 1 and 3 with the block of kEda and kTemp and frames (5, -5), (6, -6).
QByteArray two_channel_file() {
  QByteArray bytes = encode_bin_header(BinHeader{2, {1, 0, 3}, 0, -1, 0, 0, 0, 10000});
  const Calibration both[] = {kEda, kTemp};
  bytes.replace(kCalibrationBlockOffset, kCalibrationBlockSize, encode_calibration_block(both));
  for (const int16_t v : {5, 6}) append_frame(bytes, std::array<int16_t, 2>{v, int16_t(-v)}, 0);
  return bytes;
}

QByteArray le32(uint32_t v) {
  return bytes_of({int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF), int(v >> 24)});
}

CalibrationBlock read_block(const QByteArray& file) {
  Result<BinContents> r = parse_bin(file, [] { return QString(); });
  EXPECT_TRUE(r && r.value().samples(2, 1) == -6) << "the file and its frames read as ever";
  return r ? r.value().calibration : CalibrationBlock{};
}

}  // namespace

TEST(CalibrationBlock, BytesAndReadingBack) {
  const Calibration one[] = {kEda};
  const QByteArray got = encode_calibration_block(one);
  const QByteArray start = QByteArray("QCAL") +
                           bytes_of({1, 1,    0,    0,   0, 0x3F, 0, 0, 0, 0xC0,     // 0.5f, -2.0f
                                     3, 'E',  'D',  'A', 0, 0,    0, 0, 0, 0,    0,  // name
                                     3, 0xC2, 0xB5, 'S', 0, 0,    0}) +              // "µS"
                           QByteArray(52, '\0');
  EXPECT_EQ(got.toHex(' '), (start + le32(crc32_ieee(start)) + le32(0)).toHex(' '));
  EXPECT_EQ(crc32_ieee("123456789"), 0xCBF43926u) << "the IEEE check value";

  const CalibrationBlock b = read_block(two_channel_file());
  ASSERT_EQ(b.status, CalibrationBlockStatus::Read) << b.problem.toStdString();
  EXPECT_EQ(b.channels, (std::vector<Calibration>{kEda, kTemp}));
  QByteArray zeros = two_channel_file().replace(36, 92, QByteArray(92, '\0'));
  EXPECT_EQ(read_block(zeros).status, CalibrationBlockStatus::Absent);
  EXPECT_EQ(read_block(zeros.replace(36, 4, "XCAL")).status, CalibrationBlockStatus::Absent)
      << "another program's bytes are no damage";
}

TEST(CalibrationBlock, OnlyACalibratedRecordedChannelIsStored) {
  InputCalibrations inputs = default_calibrations();
  inputs[4] = kEda;
  EXPECT_TRUE(calibrations_to_store({1, 2, 0}, inputs).empty()) << "input 4 is not recorded";
  EXPECT_EQ(calibrations_to_store({2, 0, 4}, inputs),
            (std::vector<Calibration>{default_calibration(2), kEda}));
}

struct Damage {
  const char* name;
  int at;      // header offset changed
  int value;   // new byte there; -1: a NaN gain in the record at `at`
  bool whole;  // the checksum is made to match again
};

class DamagedBlock : public ::testing::TestWithParam<Damage> {};

TEST_P(DamagedBlock, ReadsAsConverterUnitsWithAReason) {
  QByteArray file = two_channel_file();
  const Damage& d = GetParam();
  if (d.value < 0) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    std::memcpy(file.data() + d.at, &nan, 4);
  } else {
    file[d.at] = static_cast<char>(d.value);
  }
  if (d.whole) file.replace(120, 4, le32(crc32_ieee(QByteArrayView(file.constData() + 36, 84))));
  const CalibrationBlock b = read_block(file);
  EXPECT_EQ(b.status, CalibrationBlockStatus::Damaged);
  EXPECT_TRUE(b.channels.empty());
  EXPECT_FALSE(b.problem.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, DamagedBlock,
    ::testing::Values(Damage{"FlippedBit", 60, 0x55, false}, Damage{"Version2", 40, 2, true},
                      Damage{"CountNotTheFiles", 41, 3, true}, Damage{"BytesAfterName", 59, 'x', true},
                      Damage{"NotUtf8", 51, 0xFF, true}, Damage{"NanGain", 68, -1, true},
                      Damage{"UnusedRecordSet", 97, 1, true}, Damage{"TailNotZero", 126, 1, false}),
    [](const auto& info) { return std::string(info.param.name); });

struct Row {
  const char* name;
  CalibrationEntry entry;
  const char* refusal;  // the start of the message, or "" for gain 0.002 and offset 1.5
};

class DialogRow : public ::testing::TestWithParam<Row> {};

TEST_P(DialogRow, GivesTheCalibrationOrTheRefusal) {
  const CalibrationOutcome o = calibration_from_entry(GetParam().entry, 2);
  const bool good = *GetParam().refusal == '\0';
  EXPECT_EQ(o.ok(), good) << o.refusal.toStdString();
  if (good) {
    EXPECT_EQ(o.calibration, (Calibration{"EDA", "mmHg/s", 0.002f, 1.5f}));
  } else {
    EXPECT_TRUE(o.refusal.startsWith(QString::fromUtf8(GetParam().refusal))) << o.refusal.toStdString();
  }
}

CalibrationEntry points(const char* x2, const char* y2, const char* name = "EDA", const char* unit = "mmHg/s") {
  CalibrationEntry e{QString::fromUtf8(name), QString::fromUtf8(unit), true, " 0", "1.5", x2, y2, {}, {}};
  return e;
}
CalibrationEntry gain(const char* g, const char* o) {
  return CalibrationEntry{" EDA", "mmHg/s", false, {}, {}, {}, {}, g, o};
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DialogRow,
    ::testing::Values(Row{"TwoPoints", points("1000", "3.5"), ""},
                      Row{"GainAndOffset", gain("0.002", "1.5"), ""},
                      Row{"SameConverterValue", points("0.0", "2"),
                          "Input 2: the two points have the same converter value"},
                      Row{"GainZero", gain("0", "1"), "Input 2: the gain must not be 0."},
                      Row{"NaN", gain("nan", "0"), "Input 2: the gain must be a finite number."},
                      Row{"Infinity", points("1", "-inf"),
                          "Input 2: the second physical value must be a finite number."},
                      Row{"BeyondFloat", gain("1", "1e39"), "Input 2: the offset is too large"},
                      Row{"PhysicalOverflows", gain("1e36", "0"), "Input 2: the gain or offset is too large"},
                      Row{"DecimalComma", gain("1,5", "0"),
                          "Input 2: the gain \"1,5\" is not a number (write a decimal point"},
                      Row{"NameTooLong", points("1", "2", "Temp\u00e9ratur"),
                          "The name of input 2 \"Temp\u00e9ratur\" is too long"},
                      Row{"UnitTooLong", points("1", "2", "EDA", "\u00b5S/cm\u00b2"), "The unit of input 2"},
                      Row{"NoName", points("1", "2", "  "), "Input 2 needs a name."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FloatText, ReadsBackAsTheSameFloat) {
  for (const float v : {0.1f, 1.0f / 3, -2.5e-7f, 3.4e38f, 1e-45f})
    EXPECT_EQ(static_cast<float>(float_text(v).toDouble()), v) << float_text(v).toStdString();
}
