// Guards EDF through the File menu: a recording exported with Export EDF+ and opened again has the
// same samples, interval and marker words; EDF files the program cannot show (more than three
// signals, mixed rates, a damaged header) are refused with their reason and the window, its
// readings included, stays as it was.
#include <edflib.h>

#include <QAction>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <algorithm>
#include <functional>
#include <vector>

#include "support/window_fixture.h"
#include "ui/results_grid.h"
#include "ui/surface.h"

using namespace quarvel;
using quarvel::testing::FileShape;
using quarvel::testing::ScriptedDialogs;
using quarvel::testing::WindowTest;

namespace {

struct Trip {
  const char* name;
  int channels;
  int32_t frames;
  int32_t interval_us;
  int32_t block_length;
};

class EdfRoundTrip : public WindowTest, public ::testing::WithParamInterface<Trip> {};

TEST_P(EdfRoundTrip, GivesBackTheSamplesOfTheRecording) {
  const Trip& t = GetParam();
  FileShape shape;
  shape.channels = t.channels;
  shape.frames = t.frames;
  shape.interval_us = t.interval_us;
  shape.block_length = t.block_length;
  // Whole numbers over most of the int16 range, different on each channel.
  shape.sample = [](int ch, int32_t i) {
    return static_cast<int16_t>((i * 7919 + ch * 4001) % 60000 - 30000);
  };
  shape.marker = [](int32_t i) {
    return static_cast<int16_t>(i % 97 == 5 ? 200 : (i % 150 >= 20 && i % 150 < 40) ? 100 : 0);
  };
  open_recording(QStringLiteral("%1.bin").arg(t.name), shape);
  ASSERT_EQ(w->s.file_loaded, kTrue);
  const SampleArray samples = w->s.raw_data;
  const std::vector<int16_t> markers = w->s.marker_data;
  const float interval = w->s.sample_interval;

  const QString edf = data_path(QStringLiteral("%1 out.edf").arg(t.name));
  dialogs->expect_save("Export EDF+", edf);
  w->findChild<QAction*>("mnuExportEdf")->trigger();
  ASSERT_FALSE(dialogs->pending());
  EXPECT_EQ(dialogs->asked().back().request.file_name, data_path(QStringLiteral("%1.edf").arg(t.name)));
  QFile f(edf);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  const QByteArray head = f.read(256);
  EXPECT_EQ(head.left(8), "0       ");
  EXPECT_EQ(head.mid(192, 5), "EDF+C") << "continuous";
  const int signal_count = head.mid(252, 4).trimmed().toInt();
  ASSERT_GT(signal_count, t.channels) << "the annotations follow the channels";
  const QByteArray labels = f.read(16 * signal_count);
  for (int i = 0; i < signal_count; ++i) {
    EXPECT_EQ(labels.mid(16 * i, 16).trimmed(), i < t.channels
                                                    ? QByteArray("input ") + QByteArray::number(i + 1)
                                                    : QByteArray("EDF Annotations"));
  }

  dialogs->expect_open("Open data file", edf);
  dialogs->expect_input("Number of recorded channels:", QString::number(t.channels));
  w->findChild<QAction*>("mnuOpen")->trigger();
  ASSERT_FALSE(dialogs->pending());
  EXPECT_EQ(dialogs->asked().back().default_text, QString::number(t.channels)) << "all signals proposed";
  const SharedState& s = w->s;
  EXPECT_EQ(s.data_file_name, edf);
  ASSERT_EQ(s.sample_count, t.frames);
  ASSERT_EQ(s.channel_count, t.channels);
  EXPECT_FLOAT_EQ(s.sample_interval, interval);
  for (int ch = 1; ch <= t.channels; ++ch)
    for (int32_t i = 0; i < t.frames; ++i) ASSERT_EQ(s.raw_data(ch, i), samples(ch, i)) << ch << " " << i;
  for (int32_t i = 0; i < t.frames; ++i)
    ASSERT_EQ(s.marker_data[static_cast<size_t>(i)], markers[static_cast<size_t>(i)]) << i;
  // A block recording comes back as one, its blocks read from their annotations.
  EXPECT_EQ(s.block_mode, Flag(t.block_length > 0));
  EXPECT_EQ(s.block_length, t.block_length);
}

INSTANTIATE_TEST_SUITE_P(Recordings, EdfRoundTrip,
                         ::testing::Values(Trip{"three", 3, 2500, 1000, -1},    // 2.5 records of a second
                                           Trip{"blocks", 2, 1200, 2000, 300},  // four blocks
                                           Trip{"one", 1, 777, 10000, -1}),
                         [](const ::testing::TestParamInfo<Trip>& info) {
                           return std::string(info.param.name);
                         });

// An EDF file opened here is never proposed for its own export, and never replaced by it.
TEST_F(WindowTest, ExportNeverTakesThePlaceOfTheFileItWasOpenedFrom) {
  FileShape shape;
  shape.channels = 2;
  open_recording("rec.bin", shape);
  const QString edf = data_path("rec.edf");
  dialogs->expect_save("Export EDF+", edf);
  w->findChild<QAction*>("mnuExportEdf")->trigger();
  dialogs->expect_open("Open data file", edf);
  dialogs->expect_input("Number of recorded channels:", "2");
  w->findChild<QAction*>("mnuOpen")->trigger();
  ASSERT_EQ(w->s.data_file_name, edf);
  QFile f(edf);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  const QByteArray before = f.readAll();
  f.close();

  dialogs->expect_save("Export EDF+", edf);
  dialogs->expect_warning_starting("The recording cannot be exported over the file it was opened from");
  w->findChild<QAction*>("mnuExportEdf")->trigger();
  ASSERT_FALSE(dialogs->pending());
  const auto& asked = dialogs->asked();
  const auto save = std::find_if(asked.rbegin(), asked.rend(),
                                 [](const auto& a) { return a.kind == ScriptedDialogs::Kind::Save; });
  EXPECT_EQ(save->request.file_name, data_path("rec export.edf"));
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll(), before) << "the opened file is byte for byte as it was";
}

// An EDF+ file made by EDFlib: signal i has per_record[i] samples in each of two one-second
// records, digital value 100 i + r in record r, and the annotations given.
void edflib_file(const QString& path, const std::vector<int>& per_record, const QStringList& notes = {}) {
  const int n = static_cast<int>(per_record.size());
  const int h = edfopen_file_writeonly(QFile::encodeName(path).constData(), EDFLIB_FILETYPE_EDFPLUS, n);
  ASSERT_GE(h, 0);
  for (int i = 0; i < n; ++i) {
    edf_set_samplefrequency(h, i, per_record[static_cast<size_t>(i)]);
    edf_set_physical_maximum(h, i, 100);
    edf_set_physical_minimum(h, i, -100);
    edf_set_digital_maximum(h, i, 32767);
    edf_set_digital_minimum(h, i, -32768);
  }
  for (int r = 0; r < 2; ++r) {
    for (int i = 0; i < n; ++i) {
      std::vector<int> values(static_cast<size_t>(per_record[static_cast<size_t>(i)]), 100 * i + r);
      ASSERT_EQ(edfwrite_digital_samples(h, values.data()), 0);
    }
  }
  for (int k = 0; k < notes.size(); ++k)
    ASSERT_EQ(edfwrite_annotation_utf8(h, 1000 * k, -1, notes[k].toUtf8().constData()), 0);
  ASSERT_EQ(edfclose_file(h), 0);
}

// A file of more signals than can be shown, of two rates: the question lists them and proposes
// the first of one rate; the signals answered are read, in the order answered, and the file's
// other annotations are told of.
TEST_F(WindowTest, EdfSignalsAreChosenByNumberAmongAnyRates) {
  const QString path = data_path("many.edf");
  edflib_file(path, {10, 20, 10, 10}, {"eyes closed", "lights off"});  // EDFlib writes one a record
  dialogs->expect_open("Open data file", path);
  dialogs->expect_input_starting("Signals to open", "4 1");
  dialogs->expect_warning(
      "2 of the file's annotations are not shown: only marker on and off, stimuli and blocks are.");
  w->findChild<QAction*>("mnuOpen")->trigger();
  ASSERT_FALSE(dialogs->pending());
  const auto& asked = dialogs->asked();
  const auto question =
      std::find_if(asked.begin(), asked.end(), [](const auto& a) { return a.title == "Signals"; });
  ASSERT_NE(question, asked.end());
  EXPECT_EQ(question->default_text, "1 3 4");
  EXPECT_TRUE(question->prompt.contains("\n2. (no label)   20 Hz")) << question->prompt.toStdString();
  const SharedState& s = w->s;
  ASSERT_EQ(s.file_loaded, kTrue);
  ASSERT_EQ(s.channel_count, 2);
  EXPECT_EQ(s.sample_count, 20);
  EXPECT_FLOAT_EQ(s.sample_interval, 0.1f);
  EXPECT_GT(s.raw_data(1, 0), s.raw_data(2, 0)) << "signal 4 first, then signal 1";
  EXPECT_NEAR(s.raw_data(1, 0) - s.raw_data(2, 0), 300 * 200.0 / 65535, 1e-3);
}

// A foreign file's labels and units name its channels: in physical units the readings are the
// file's physical values, worked out here from its digital values and header limits, with their
// units; converter units show the same values, as before.
TEST_F(WindowTest, EdfLabelsAndUnitsNameTheChannels) {
  const QString path = data_path("foreign.edf");
  const int h = edfopen_file_writeonly(QFile::encodeName(path).constData(), EDFLIB_FILETYPE_EDFPLUS, 2);
  ASSERT_GE(h, 0);
  const char* labels[] = {"Fp1", "EDA"};
  const char* units[] = {"uV", "uS"};
  for (int i = 0; i < 2; ++i) {
    edf_set_samplefrequency(h, i, 50);
    edf_set_physical_maximum(h, i, 500 + 20 * i);
    edf_set_physical_minimum(h, i, -300);
    edf_set_digital_maximum(h, i, 2047);
    edf_set_digital_minimum(h, i, -2048);
    edf_set_label(h, i, labels[i]);
    edf_set_physical_dimension(h, i, units[i]);
  }
  const auto digital = [](int i, int k) { return (k * 37 + i * 1001) % 4096 - 2048; };
  for (int rec = 0; rec < 4; ++rec) {  // two records of two signals
    std::vector<int> values(50);
    for (int k = 0; k < 50; ++k) values[static_cast<size_t>(k)] = digital(rec % 2, 50 * (rec / 2) + k);
    ASSERT_EQ(edfwrite_digital_samples(h, values.data()), 0);
  }
  ASSERT_EQ(edfclose_file(h), 0);
  dialogs->expect_open("Open data file", path);
  dialogs->expect_input("Number of recorded channels:", "2");
  w->findChild<QAction*>("mnuOpen")->trigger();
  ASSERT_EQ(w->s.file_loaded, kTrue);
  const SampleArray converter = w->s.work_data;
  w->findChild<QAction*>("mnuUnitsPhysical")->trigger();
  ASSERT_EQ(w->s.physical_units, kTrue);
  for (int ch = 1; ch <= 2; ++ch) {
    const double pmax = 500 + 20 * (ch - 1);
    for (int k = 0; k < 100; ++k) {
      const double physical = -300 + (digital(ch - 1, k) + 2048) * (pmax + 300) / 4095;
      ASSERT_NEAR(w->s.work_data(ch, k), physical, 1e-4 * pmax) << ch << "," << k;
      ASSERT_EQ(w->s.work_data(ch, k), converter(ch, k));
    }
    EXPECT_EQ(w->ch_select[static_cast<size_t>(ch - 1)]->toolTip(),
              QStringLiteral("%1 (%2)").arg(labels[ch - 1], units[ch - 1]));
  }
  EXPECT_EQ(w->Grid1[0]->text_at(0, 2), "  y1 uV");
}

struct Refusal {
  const char* name;
  std::function<void(const QString& path)> make;
  const char* reason;
  const char* signal_answer = nullptr;  // the answer to the question which signals to open, when it comes
};

class EdfRefused : public WindowTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(EdfRefused, WithItsReasonAndNothingChanges) {
  const Refusal& r = GetParam();
  FileShape shape;
  shape.channels = 2;
  open_recording("good.bin", shape);
  dialogs->expect_input("block label", "a");
  QTest::mouseClick(w->disp, Qt::LeftButton, {}, QPoint(400, 250));
  QTest::mouseClick(w->add, Qt::LeftButton);
  ASSERT_FALSE(dialogs->pending());
  const QImage picture = w->disp->image().copy();
  const QString caption = w->windowTitle(), status = w->status->text();
  const QString reading = w->Grid1[0]->text_at(2, 1);
  ASSERT_FALSE(reading.isEmpty());

  const QString bad = data_path("bad.edf");
  r.make(bad);
  dialogs->expect_open("Open data file", bad);
  if (r.signal_answer) dialogs->expect_input_starting("Signals to open", r.signal_answer);
  dialogs->expect_warning(QStringLiteral("Error encountered while trying to open file, please retry.\n\n") +
                          r.reason);
  w->findChild<QAction*>("mnuOpen")->trigger();
  ASSERT_FALSE(dialogs->pending());
  EXPECT_EQ(dialogs->asked().back().title, "File input");
  EXPECT_EQ(w->disp->image(), picture);
  EXPECT_EQ(w->windowTitle(), caption);
  EXPECT_EQ(w->status->text(), status);
  EXPECT_EQ(w->Grid1[0]->text_at(2, 1), reading);
  EXPECT_EQ(w->s.data_file_name, data_path("good.bin"));
  EXPECT_EQ(w->s.sample_count, 1000);
  EXPECT_EQ(w->s.raw_data(2, 7), 207);
  EXPECT_FALSE(w->busy());
}

// A good two-signal file with the header field at `offset` overwritten.
std::function<void(const QString&)> spoiled(int offset, const QByteArray& text) {
  return [offset, text](const QString& path) {
    edflib_file(path, {10, 10});
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.seek(offset));
    f.write(text);
  };
}

const char kDamaged[] = "Its header is damaged, or it is no EDF or BDF file.";

INSTANTIATE_TEST_SUITE_P(
    Files, EdfRefused,
    ::testing::Values(
        Refusal{"FourOfFourSignals",
                [](const QString& p) {
                  edflib_file(p, {10, 10, 10, 10});
                },
                "Up to three signals can be opened together.", "1 2 3 4"},
        Refusal{
            "MixedRates",
            [](const QString& p) {
              edflib_file(p, {10, 20});
            },
            "Signals 1 and 2 have different rates (10 Hz and 20 Hz): only signals of one rate can be opened "
            "together.",
            "1 2"},
        Refusal{"NoSuchSignal",
                [](const QString& p) {
                  edflib_file(p, {10, 10, 10, 10});
                },
                "The file has no signal 5: its signals are 1 to 4.", "2 5"},
        Refusal{"RecordCountNotANumber", spoiled(236, "two     "), kDamaged},
        Refusal{"SignalCountTooLarge", spoiled(252, "9   "), kDamaged},
        Refusal{"NotEdfAtAll",
                [](const QString& p) {
                  QFile f(p);
                  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
                  f.write(QByteArray("time,value\n0,1\n").repeated(40));
                },
                kDamaged},
        Refusal{"CutShort",
                [](const QString& p) {
                  edflib_file(p, {10});
                  QFile f(p);
                  ASSERT_TRUE(f.resize(f.size() - 3));
                },
                kDamaged}),
    [](const ::testing::TestParamInfo<Refusal>& info) { return std::string(info.param.name); });

}  // namespace
