// Guards quarvel-convert as a user runs it, a process with arguments: its EDF+ files are byte for
// byte those File > Export EDF+ writes from the same input, its CSV holds exactly the samples and
// marker words File > Open loads, under a locale with a decimal comma too; many files in one call,
// a damaged one among them, existing outputs kept without --force, the exit status and its
// reasons, and the command line's refusals.
#include <edflib.h>

#include <locale.h>
#include <QAction>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QtEndian>
#include <charconv>
#include <clocale>

#include "datafile/calibration_block.h"
#include "support/window_fixture.h"

using namespace quarvel;
using quarvel::testing::FileShape;
using quarvel::testing::WindowTest;

namespace {

constexpr char kDecimalComma[] = "de_DE.UTF-8";

struct Finished {
  int exit_code = -1;
  QString out, err;
};

Finished run_convert(const QStringList& args, const QString& locale = QString::fromLatin1(kDecimalComma)) {
  QProcess p;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("LC_ALL", locale);
  p.setProcessEnvironment(env);
  p.start(QStringLiteral(QUARVEL_CONVERT), args);
  Finished r;
  if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit) return r;
  r.exit_code = p.exitCode();
  r.out = QString::fromLocal8Bit(p.readAllStandardOutput());
  r.err = QString::fromLocal8Bit(p.readAllStandardError());
  return r;
}

QByteArray bytes_of(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void write_file(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(bytes);
}

enum class Input { Versioned, Block, Calibrated, Older, Prn, Edf };

struct Case {
  const char* name;
  Input input;
  QStringList answers;  // what the window's questions are answered, and the companion's options
  QStringList options;
  int32_t frames = 2345;  // more than 65536 make the companion read a .bin in several portions
  QByteArray first_label = "input 1";  // of the EDF+ signals
};

void PrintTo(const Case& c, std::ostream* os) {
  *os << c.name;
}

class SameAsTheWindow : public WindowTest, public ::testing::WithParamInterface<Case> {
 protected:
  // Writes the input of the case and opens it with File > Open; returns its path.
  QString open_input(const Case& c) {
    FileShape shape;
    shape.channels = c.input == Input::Block ? 3 : 2;
    shape.frames = c.frames;
    shape.block_length = c.input == Input::Block ? 200 : -1;
    shape.sample = [](int ch, int32_t i) {
      return static_cast<int16_t>((i * 7919 + ch * 4001) % 60000 - 30000);
    };
    shape.marker = [](int32_t i) {
      return static_cast<int16_t>(i % 397 == 5 ? 200 : (i % 500 >= 20 && i % 500 < 90) ? 100 : 0);
    };
    if (c.input == Input::Versioned || c.input == Input::Block)
      return open_recording(QString(c.name) + ".bin", shape);
    QString path = data_path(QString(c.name) + (c.input == Input::Older || c.input == Input::Calibrated ? ".bin"
                                                : c.input == Input::Prn ? ".prn"
                                                                        : ".edf"));
    if (c.input == Input::Calibrated) {
      // A name and unit on channel 1, a calibration without either on channel 2.
      QByteArray b = quarvel::testing::recording_bytes(shape);
      const Calibration stored[] = {{"EDA", QString::fromUtf8("\u00b5S"), 0.0625f, -12.5f},
                                    {"", "", 2.5f, 0.125f}};
      b.replace(kCalibrationBlockOffset, kCalibrationBlockSize, encode_calibration_block(stored));
      write_file(path, b);
    } else if (c.input == Input::Older) {
      QByteArray b = quarvel::testing::recording_bytes(shape).mid(128);
      b.prepend(QByteArray("\x02\x00", 2));  // 2 ms, then frames of two channels
      write_file(path, b);
    } else if (c.input == Input::Prn) {
      QByteArray b(2000 * 4, '\0');  // float32 values of two channels, kept x 100
      for (int i = 0; i < 2000; ++i)
        qToLittleEndian<float>(static_cast<float>(i % 37) * 0.731f - 9.5f, b.data() + 4 * i);
      write_file(path, b);
    } else {
      // Physical values that are no whole numbers, in 1.5 records, with a stimulus annotation.
      const int h = edfopen_file_writeonly(QFile::encodeName(path).constData(), EDFLIB_FILETYPE_EDFPLUS, 2);
      for (int s = 0; s < 2; ++s) {
        edf_set_label(h, s, s == 0 ? "EEG Fz" : "Resp");
        if (s == 0) edf_set_physical_dimension(h, s, "uV");
        edf_set_samplefrequency(h, s, 256);
        edf_set_physical_maximum(h, s, 3.3);
        edf_set_physical_minimum(h, s, -3.3);
        edf_set_digital_maximum(h, s, 32767);
        edf_set_digital_minimum(h, s, -32768);
      }
      std::vector<double> v(256);
      for (int r = 0; r < 3; ++r)
        for (int s = 0; s < 2; ++s) {
          for (int i = 0; i < 256; ++i) v[i] = std::sin((r * 256 + i) * 0.05 + s) * 3.1;
          edfwrite_physical_samples(h, v.data());
        }
      edfwrite_annotation_utf8(h, 15000, -1, "stimulus");
      edfclose_file(h);
    }
    dialogs->expect_open("Open data file", path);
    const char* prompts[] = {"Number of recorded channels:", "Enter sampling frequency (Hz):"};
    for (int i = 0; i < c.answers.size(); ++i) dialogs->expect_input(prompts[i], c.answers[i]);
    w->mnuOpen->trigger();
    settle();
    return path;
  }
};

TEST_P(SameAsTheWindow, EdfByteForByteAndCsvWithTheLoadedSamples) {
  const Case& c = GetParam();
  const locale_t decimal_comma = newlocale(LC_ALL_MASK, kDecimalComma, nullptr);
  ASSERT_TRUE(decimal_comma) << "generate " << kDecimalComma << " (make deps does)";
  freelocale(decimal_comma);
  const QString input = open_input(c);
  ASSERT_EQ(w->s.file_loaded, kTrue);
  const QString window_edf = data_path("window.edf");
  dialogs->expect_save("Export EDF+", window_edf);
  w->findChild<QAction*>("mnuExportEdf")->trigger();
  dialogs->verify();

  const QString out = data_path("out");
  QDir().mkpath(out);
  const Finished edf = run_convert(QStringList{"edf", "-o", out, input} + c.options);
  ASSERT_EQ(edf.exit_code, 0) << edf.err.toStdString();
  const QByteArray companion = bytes_of(QDir(out).filePath(QString(c.name) + ".edf"));
  ASSERT_FALSE(companion.isEmpty());
  EXPECT_TRUE(companion == bytes_of(window_edf)) << "the EDF+ files differ";
  EXPECT_EQ(companion.mid(256, 16).trimmed(), c.first_label);

  const Finished csv = run_convert(QStringList{"csv", "-o", out, input} + c.options);
  ASSERT_EQ(csv.exit_code, 0) << csv.err.toStdString();
  const QList<QByteArray> lines = bytes_of(QDir(out).filePath(QString(c.name) + ".csv")).split('\n');
  const SharedState& s = w->s;
  ASSERT_EQ(lines.size(), s.sample_count + 2);  // the header row, and nothing after the last LF
  EXPECT_TRUE(lines.front().startsWith("time (s),")) << lines.front().toStdString();
  EXPECT_TRUE(lines.front().endsWith(",marker"));
  EXPECT_TRUE(lines.back().isEmpty());
  const std::vector<int16_t>& markers = s.marker_data;
  for (int32_t i = 0; i < s.sample_count; ++i) {
    const QList<QByteArray> cells = lines[i + 1].split(',');
    ASSERT_EQ(cells.size(), s.channel_count + 2) << "row " << i;
    double t = 0;
    std::from_chars(cells[0].data(), cells[0].data() + cells[0].size(), t);
    ASSERT_NEAR(t, i * static_cast<double>(s.sample_interval), 1e-6 * (i + 1)) << cells[0].toStdString();
    for (int ch = 1; ch <= s.channel_count; ++ch) {
      float v = NAN;
      const QByteArray& cell = cells[ch];
      const auto r = std::from_chars(cell.data(), cell.data() + cell.size(), v);
      ASSERT_TRUE(r.ec == std::errc() && r.ptr == cell.data() + cell.size()) << cell.toStdString();
      ASSERT_EQ(v, s.raw_data(ch, i)) << "channel " << ch << " row " << i;
    }
    ASSERT_EQ(cells.back().toInt(), i < static_cast<int32_t>(markers.size()) ? markers[i] : 0) << "row " << i;
  }

  const Finished info = run_convert(QStringList{"info", input} + c.options);
  EXPECT_EQ(info.exit_code, 0);
  EXPECT_TRUE(info.out.contains(QStringLiteral("frames:     %1,").arg(s.sample_count)))
      << info.out.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, SameAsTheWindow,
    ::testing::Values(Case{"versioned", Input::Versioned, {}, {}}, Case{"blocks", Input::Block, {}, {}},
                      Case{"calibrated", Input::Calibrated, {}, {}, 2345, "EDA"},
                      Case{"older", Input::Older, {"2"}, {"--channels", "2"}, 2345, "channel 1"},
                      Case{"labtech", Input::Prn, {"2", "250"}, {"--channels", "2", "--rate", "250"}, 2345,
                           "channel 1"},
                      Case{"foreign", Input::Edf, {"2"}, {}, 2345, "EEG Fz"}, Case{"long", Input::Block, {}, {}, 140001}),
    [](const auto& info) { return std::string(info.param.name); });

class ManyFiles : public ::testing::Test {
 protected:
  QString path(const QString& name) const { return QDir(dir.path()).filePath(name); }
  void SetUp() override {
    FileShape shape;
    write_file(path("a.bin"), quarvel::testing::recording_bytes(shape));
    shape.channels = 3;
    write_file(path("c.bin"), quarvel::testing::recording_bytes(shape));
    QByteArray bad = quarvel::testing::recording_bytes(shape);
    bad[12] = 7;  // seven channels
    write_file(path("b.bin"), bad);
  }
  QTemporaryDir dir;
};

TEST_F(ManyFiles, ADamagedFileIsReportedAndTheOthersConvert) {
  const Finished r = run_convert({"edf", path("a.bin"), path("b.bin"), path("c.bin")});
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_EQ(r.err,
            "quarvel-convert: " + path("b.bin") + ": cannot read it: channel count 7 is not 1, 2 or 3\n");
  EXPECT_TRUE(QFile::exists(path("a.edf")));
  EXPECT_TRUE(QFile::exists(path("c.edf")));
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 5)
      << "no bad.edf, no temporary files";
}

TEST_F(ManyFiles, AnExistingOutputIsReplacedOnlyWithForce) {
  write_file(path("a.csv"), "keep me");
  const Finished kept = run_convert({"csv", path("a.bin"), path("c.bin")});
  EXPECT_EQ(kept.exit_code, 1);
  EXPECT_TRUE(kept.err.contains("a.csv exists (--force replaces it)")) << kept.err.toStdString();
  EXPECT_EQ(bytes_of(path("a.csv")), "keep me");
  EXPECT_TRUE(QFile::exists(path("c.csv")));
  const Finished forced = run_convert({"csv", "--force", path("a.bin"), path("c.bin")});
  EXPECT_EQ(forced.exit_code, 0) << forced.err.toStdString();
  EXPECT_TRUE(bytes_of(path("a.csv")).startsWith("time (s),input 1,marker\n0.000,100,0\n"));

  // Never the input itself, and never twice the same output in one call.
  ASSERT_EQ(run_convert({"edf", path("a.bin")}).exit_code, 0);
  const QByteArray edf = bytes_of(path("a.edf"));
  const Finished itself = run_convert({"edf", "--force", path("a.edf")});
  EXPECT_EQ(itself.exit_code, 1);
  EXPECT_TRUE(itself.err.contains("would be the input itself")) << itself.err.toStdString();
  EXPECT_EQ(bytes_of(path("a.edf")), edf);
  QDir(dir.path()).mkdir("sub");
  QFile::copy(path("c.bin"), path("sub/a.bin"));
  QDir(dir.path()).mkdir("out");
  const Finished twice = run_convert({"csv", "-o", path("out"), path("a.bin"), path("sub/a.bin"), "--force"});
  EXPECT_EQ(twice.exit_code, 1);
  EXPECT_TRUE(twice.err.contains("was written from another file in this run")) << twice.err.toStdString();
  EXPECT_TRUE(bytes_of(path("out/a.csv")).startsWith("time (s),input 1,marker\n"));
}

TEST(CommandLine, ExitStatusAndReason) {
  QTemporaryDir dir;
  const QString older = QDir(dir.path()).filePath("old.bin");
  write_file(older, QByteArray("\x0a\x00\x01\x00\x00\x00", 6));
  const QString prn = QDir(dir.path()).filePath("s.prn");
  write_file(prn, QByteArray(8, '\0'));
  struct Line {
    QStringList args;
    int exit_code;
    const char* says;  // in standard output for 0, standard error otherwise
  };
  const Line lines[] = {
      {{"--help"}, 0, "Usage: quarvel-convert info"},
      {{"--version"}, 0, "quarvel-convert 0."},
      {{}, 2, "no command given"},
      {{"frob", "x.bin"}, 2, "unknown command 'frob'"},
      {{"edf"}, 2, "no file given"},
      {{"info", "--channels", "4", older}, 2, "--channels takes a whole number from 1 to 3"},
      {{"csv", "--rate", "1,5", prn}, 2, "--rate takes a positive number"},
      {{"info", "-o", dir.path(), older}, 2, "info writes no files"},
      {{"edf", "-o", "/no/such/folder", older}, 1, "the output folder /no/such/folder does not exist"},
      {{"info", older}, 1, "give its channels with --channels N"},
      {{"info", "--channels", "1", older}, 0, "older layout without a header"},
      {{"info", "--channels", "2", prn}, 1, "give its channels and rate"},
      {{"info", "--json", "--channels", "2", "--rate", "1.5", prn}, 0, "\"rate_hz\": 1.5"},
  };
  for (const Line& l : lines) {
    const Finished r = run_convert(l.args);
    EXPECT_EQ(r.exit_code, l.exit_code) << l.args.join(' ').toStdString();
    EXPECT_TRUE((l.exit_code == 0 ? r.out : r.err).contains(QLatin1String(l.says)))
        << l.args.join(' ').toStdString() << ": " << r.out.toStdString() << r.err.toStdString();
  }
}

}  // namespace
