// Guards channels in physical units through the whole window: every text a view shows or writes
// in physical units against a model (the same view of data that hold the physical values, in
// converter units, with the units added where a channel or an amplitude is named); converter units
// of a file with a calibration the same as without one; a calibrated recording read back on a
// fresh settings folder in the same units; a damaged block; the switch and Invert.
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTest>
#include <cmath>
#include <utility>

#include "datafile/calibration_block.h"
#include "support/loaded_file.h"
#include "support/window_fixture.h"
#include "ui/results_grid.h"
#include "ui/surface.h"

using namespace quarvel;
using namespace quarvel::testing;

namespace {

const QString kMicro = QString::fromUtf8("\u00b5S");
const Calibration kEda{"EDA", kMicro, 0.0625f, -12.5f};

FileShape two_channels() {
  FileShape f;
  f.channels = 2;
  f.frames = 3000;
  f.sample = [](int ch, int32_t i) {
    return static_cast<int16_t>(std::lround(800 * std::sin(i * 0.021 + ch)) + 37 * ch);
  };
  return f;
}

QByteArray calibrated_bytes() {
  QByteArray bytes = recording_bytes(two_channels());
  const Calibration both[] = {kEda, default_calibration(2)};
  bytes.replace(kCalibrationBlockOffset, kCalibrationBlockSize, encode_calibration_block(both));
  return bytes;
}

class PhysicalUnits : public WindowTest {
 public:
  using WindowTest::data_path;  // the table of views below works the window through these
  using WindowTest::dialogs;
  using WindowTest::w;

  void open_bytes(const QString& name, const QByteArray& bytes) {
    QFile f(data_path(name));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    f.close();
    dialogs->expect_open("Open data file", data_path(name));
    w->mnuOpen->trigger();
  }
  // The model: the physical values as the samples read, in converter units.
  void load_model() {
    LoadShape m;
    m.channels = 2;
    m.frames = 3000;
    m.sample = [f = two_channels()](int ch, int32_t i) {
      return ch == 1 ? kEda.physical(f.sample(ch, i)) : static_cast<float>(f.sample(ch, i));
    };
    load_shape(*w, m, data_path("model.bin"));
  }
  // A press at a share of the surface's width and height, as a person's click.
  void click(Qt::MouseButton b, double fx, double fy = 0.5) {
    QTest::mouseClick(w->disp, b, {}, QPoint(int(fx * w->disp->width()), int(fy * w->disp->height())));
  }
  QString grid() {
    QStringList rows;
    const ResultsGrid& g = *w->Grid1[0];
    for (int r = 0; r < g.rows(); ++r) {
      QStringList cells;
      for (int c = 0; c < g.cols(); ++c) cells << g.text_at(r, c);
      if (cells.join("").trimmed().isEmpty()) break;
      rows << cells.join('\t');
    }
    return rows.join('\n');
  }
  // A block of two rows of two points each.
  void four_readings() {
    dialogs->expect_input("block label", "a");
    for (const double x : {0.12, 0.2, 0.33, 0.41}) {
      click(Qt::LeftButton, x);
      w->add->click();
    }
  }
  QString copied(int item) {
    w->mnuCopyitem[item]->trigger();
    return clipboard->text;
  }
  // The frame's texts ("|" after the last), the readout at fx ("#" after it) and the curve points.
  QString curves(double fx) {
    QStringList frame;
    for (const auto& p : w->disp->printed_texts()) frame << p.text;
    click(Qt::LeftButton, fx);
    return frame.join('|') + "|\n" + w->Label1->text() + "#\n" + copied(5);
  }
};

struct TextCase {
  const char* name;
  std::function<QString(PhysicalUnits&)> text;
  QList<std::pair<QString, QString>> units_added;  // what turns the model's text into the physical one
};
void PrintTo(const TextCase& c, std::ostream* os) {
  *os << c.name;
}

const QString kHeader = " \t     x1\t     y1\t     x2\t     y2\t  ampl.\t   tone\t period";
const QString kPhysicalHeader = "EDA\t     x1\t  y1 " + kMicro + "\t     x2\t  y2 " + kMicro + "\tampl. " +
                                kMicro + "\ttone " + kMicro + "\t period";
const QString kPsd = kMicro + QString::fromUtf8("\u00b2/Hz");

class PhysicalTexts : public PhysicalUnits, public ::testing::WithParamInterface<TextCase> {};

TEST_P(PhysicalTexts, MatchTheModelWithTheirUnits) {
  const TextCase& c = GetParam();
  open_recording("plain.bin", two_channels());
  const QString today = c.text(*this);
  open_bytes("calibrated.bin", calibrated_bytes());
  EXPECT_EQ(c.text(*this).toStdString(), today.toStdString()) << "converter units ignore the calibration";
  w->mnuUnitsPhysical->trigger();
  const QString physical = c.text(*this);
  w->mnuUnitsConverter->trigger();
  load_model();
  QString expected = c.text(*this);
  EXPECT_NE(expected, today) << "the model's data differ from the converter values";
  for (const auto& [from, to] : c.units_added) expected.replace(from, to);
  EXPECT_EQ(physical.toStdString(), expected.toStdString());
}

INSTANTIATE_TEST_SUITE_P(
    EveryView, PhysicalTexts,
    ::testing::Values(
        // The frame's scale (the unit printed last), the readout and the curve points.
        TextCase{"Curves",
                 [](PhysicalUnits& t) { return t.curves(0.3); },
                 {{"|\n", "|" + kMicro + "|\n"},
                  {"#\n", " " + kMicro + "#\n"},
                  {"time\tch1\tch1", "time\tEDA (" + kMicro + ")\tInput 2"}}},
        // The readings, block statistics, both copies of the table and the results file.
        TextCase{"Tables",
                 [](PhysicalUnits& t) {
                   t.four_readings();
                   t.w->newblk->click();
                   const QString path = t.data_path("results.txt");
                   t.dialogs->expect_save("Save results", path);
                   t.w->mnuSaveResults->trigger();
                   QFile f(path);
                   EXPECT_TRUE(f.open(QIODevice::ReadOnly));
                   const QString text =
                       t.grid() + "\n" + t.copied(4) + "\n" + t.copied(2) + "\n" + f.readAll();
                   t.w->Clear->click();
                   return text;
                 },
                 {{kHeader, kPhysicalHeader},
                  {"\tX1\tY1\tX2\tY2\tampl.\ttone\t", "\tX1\tY1 " + kMicro + "\tX2\tY2 " + kMicro +
                                                          "\tampl. " + kMicro + "\ttone " + kMicro + "\t"},
                  {"\t\tampl.\t\ttone\t", "\t\tampl. " + kMicro + "\t\ttone " + kMicro + "\t"},
                  {"Channel 1\r\n\tx1\ty1\tx2\ty2\tampl.\ttone\t",
                   "Channel 1: EDA (" + kMicro + ")\r\nEDA\tx1\ty1 " + kMicro + "\tx2\ty2 " + kMicro +
                       "\tampl. " + kMicro + "\ttone " + kMicro + "\t"},
                  {"Channel 2\r\n\t", "Channel 2: Input 2\r\nInput 2\t"}}},
        TextCase{"AutoPeaks",
                 [](PhysicalUnits& t) {
                   t.click(Qt::RightButton, 0.05);
                   t.click(Qt::RightButton, 0.7);
                   t.click(Qt::LeftButton, 0.3);
                   t.w->mnuPeaks->trigger();
                   t.click(Qt::LeftButton, 0.35, 0.55);  // the lower level
                   t.dialogs->expect_input("block label", "peaks");
                   t.w->add->click();
                   const QString g = t.grid();
                   t.w->Clear->click();
                   return g;
                 },
                 {{kHeader, kPhysicalHeader}}},
        TextCase{"Spectrum",
                 [](PhysicalUnits& t) {
                   t.dialogs->expect_input("Block length (ms):", "500");
                   t.w->mnuBlock->trigger();
                   t.w->mnuPSD->trigger();
                   const QString text = t.curves(0.2);
                   t.w->mnuContinuous->trigger();
                   return text;
                 },
                 {{"|\n", "|" + kPsd + "|\n"},
                  {"#\n", " " + kPsd + "#\n"},
                  {"time\tch1\tch1", "time\tEDA (" + kPsd + ")\tInput 2"}}}),
    [](const auto& info) { return std::string(info.param.name); });

class CalibratedRecording : public PhysicalUnits {
 protected:
  std::unique_ptr<QSettings> make_settings() override {
    return std::make_unique<QSettings>(settings_dir->filePath("quarvel.ini"), QSettings::IniFormat);
  }
  QByteArray record(const QString& name) {
    dialogs->expect_save("Open file to save data", data_path(name));
    timer->before_tick = [&](int n) {
      if (n == 40) w->halt->click();
    };
    QTest::mouseClick(w->store, Qt::LeftButton);
    QFile f(data_path(name));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return f.readAll();
  }
  std::unique_ptr<QTemporaryDir> settings_dir = std::make_unique<QTemporaryDir>();
};

TEST_F(CalibratedRecording, ReadsInTheSameUnitsOnAFreshSettingsFolder) {
  w->mnuMeasure->trigger();
  choose_item(w->ch_list[0], 2);  // channel 1 records input 2
  EXPECT_EQ(record("data01.bin").mid(36, 92), QByteArray(92, '\0')) << "default channels store nothing";
  // Calibrated against two references, the first the input's last converter value.
  const int16_t last = w->s.input_value[2];
  dialogs->expect_calibration([last](const CalibrationRequest& r) {
    EXPECT_EQ(r.current[2], std::optional<int16_t>(last));
    EXPECT_FALSE(r.current[1]) << "input 1 was not sampled";
    InputEntries rows = r.rows;
    rows[2] = CalibrationEntry{"EDA", kMicro, true, QString::number(last), "2", QString::number(last + 1000), "7",
                               {}, {}};
    return std::optional<InputEntries>(rows);
  });
  w->mnuCalibrate->trigger();
  const Calibration set = w->s.input_calibration[2];
  EXPECT_EQ(set, (Calibration{"EDA", kMicro, 0.005f, static_cast<float>(2 - 0.005 * last)}));
  const QByteArray bytes = record("data02.bin");
  EXPECT_EQ(decode_calibration_block(bytes, 1).channels, std::vector<Calibration>{set});

  rebuild_window();  // kept: the next measurement starts with it
  w->mnuMeasure->trigger();
  EXPECT_EQ(w->s.input_calibration[2], set);

  // Another machine: no settings, the file alone.
  const auto kept = std::exchange(settings_dir, std::make_unique<QTemporaryDir>());
  rebuild_window();
  open_bytes("copy.bin", bytes);
  w->mnuUnitsPhysical->trigger();
  const auto frame_sample =
      static_cast<int16_t>(static_cast<uint8_t>(bytes[128 + 40]) | (bytes[129 + 40] << 8));
  EXPECT_EQ(w->s.work_data(1, 10), set.gain * frame_sample + set.offset);
  EXPECT_EQ(w->ch_select[0]->toolTip(), "EDA (" + kMicro + ")");
  w->mnuUnitsConverter->trigger();
  EXPECT_TRUE(w->s.work_data.shares(w->s.raw_data, 1)) << "converter units are the samples read, bit for bit";
  EXPECT_EQ(w->s.work_data(1, 10), frame_sample);
  EXPECT_EQ(w->ch_select[0]->toolTip(), "");
}

TEST_F(PhysicalUnits, ADamagedBlockOpensInConverterUnitsWithANote) {
  QByteArray bytes = calibrated_bytes();
  bytes[45] = static_cast<char>(bytes[45] ^ 1);  // the gain of channel 1
  open_bytes("damaged.bin", bytes);
  EXPECT_TRUE(w->status->text().endsWith(
      "   Calibration ignored (its checksum does not match): converter units only."))
      << w->status->text().toStdString();
  w->mnuUnitsPhysical->trigger();
  EXPECT_EQ(w->s.work_data(1, 5), two_channels().sample(1, 5));
  EXPECT_EQ(w->ch_select[0]->toolTip(), "Input 1");
}

TEST_F(PhysicalUnits, SwitchingAsksAboutUnsavedReadingsAndInvertKeepsThePhysicalValues) {
  open_bytes("calibrated.bin", calibrated_bytes());
  four_readings();
  const char* unsaved =
      "The results tables hold readings that have not been saved. Do you want to save them first?";
  dialogs->expect_save_discard_cancel(unsaved, SaveAnswer::Cancel);
  w->mnuUnitsPhysical->trigger();
  EXPECT_FALSE(w->s.physical_units) << "Cancel leaves the readings and the units";
  dialogs->expect_save_discard_cancel(unsaved, SaveAnswer::Discard);
  w->mnuUnitsPhysical->trigger();
  EXPECT_EQ(grid(), kPhysicalHeader) << "the tables are emptied";

  const float before = w->s.work_data(1, 20);
  w->mnuInvert->trigger();
  EXPECT_EQ(w->s.work_data(1, 20), -before);
  w->mnuUnitsConverter->trigger();
  w->mnuUnitsPhysical->trigger();
  EXPECT_EQ(w->s.work_data(1, 20), -before) << "a units switch keeps the inverted curve";
}

}  // namespace
