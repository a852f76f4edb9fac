// Guards recording from a serial device through the window, with a board played on a
// pseudo-terminal: the file holds exactly the frames the board sent, with the marks of MARKER and
// STIM, under the header a generator recording of the same settings has; a modal box held open for
// 10 s at 1 kHz x 4 loses nothing and unplugging then keeps every frame; bad lines are counted and
// never become frames; ports that cannot be opened and rates the link cannot carry are refused
// before any file exists; block mode takes a Firmata board's next frames and pulses its pin.
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QtEndian>
#include <climits>
#include <map>
#include <thread>

#include "acquisition/serial_device.h"
#include "support/pty_board.h"
#include "support/window_fixture.h"

using namespace quarvel;
using namespace quarvel::testing;
using Frames = std::vector<std::vector<int16_t>>;

namespace {

// The header, then each frame's samples and marker word.
std::pair<QByteArray, Frames> read_recording(const QString& path, int channels) {
  QFile f(path);
  const QByteArray all = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  Frames frames;
  for (qsizetype at = 128; at + 2 * (channels + 1) <= all.size(); at += 2 * (channels + 1)) {
    std::vector<int16_t> frame;
    for (int k = 0; k <= channels; ++k)
      frame.push_back(qFromLittleEndian<int16_t>(all.constData() + at + 2 * k));
    frames.push_back(frame);
  }
  EXPECT_EQ((all.size() - 128) % (2 * (channels + 1)), 0) << "whole frames";
  return {all.left(128), frames};
}

class Device : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    timer->max_ticks = INT_MAX;  // a device sets the pace: the loop wakes as often as it can
    w->mnuMeasure->trigger();
    // Inputs 2, 4 and 1 on channels 1..3: the file's order is the channels'.
    const int inputs[] = {2, 4, 1};
    for (size_t i = 0; i < 3; ++i) choose_item(w->ch_list[i], inputs[i]);
  }
  void use(int source, const QString& port, const QString& baud, const QString& rate) {
    choose_item(w->src_list, source);
    type_into(w->port_list, port);
    type_into(w->baud_list, baud);
    type_into(w->sampling_hz, rate);
  }
  // n lines of four values, played from the loop's first tick; the board's own frames appended.
  void play_from_first_tick(int n, double hz, std::vector<std::string> bad = {}, int64_t unplug = -1) {
    std::vector<std::string> lines;
    for (int k = 0; k < n; ++k) {
      const Frame f{
          {int16_t(k % 1024), int16_t(-(k % 3000)), int16_t(k * 7 % 32768), int16_t(1023 - k % 1024)}};
      sent.push_back({f.input(2), f.input(4), f.input(1), 0});
      lines.push_back(std::to_string(f.value[0]) + " " + std::to_string(f.value[1]) + "," +
                      std::to_string(f.value[2]) + "\t" + std::to_string(f.value[3]) + "\r\n");
      if (k == n / 2) lines.insert(lines.end(), bad.begin(), bad.end());
    }
    timer->before_tick = [this, lines, hz, unplug](int) {
      if (!clock_.isValid()) board.play_lines(lines, hz, "\n", unplug);
      if (!clock_.isValid()) clock_.start();
      if (at) at(clock_.elapsed() / 1000.0);
    };
  }
  void stop_at(double seconds) {
    at = [this, seconds, then = at](double t) {
      if (then) then(t);
      if (t >= seconds && w->s.acq_running) w->halt->click();
    };
  }
  QString path(const QString& name) const { return QDir(data_dir.path()).filePath(name); }
  QString port() const { return QString::fromStdString(board.path()); }

  PtyBoard board;
  Frames sent;
  std::function<void(double)> at;  // at each tick, with the seconds since the first
  QElapsedTimer clock_;
};

TEST_F(Device, LinesAreRecordedFrameForFrameUnderTheGeneratorsHeader) {
  type_into(w->sampling_hz, "200");
  dialogs->expect_save("Open file to save data", path("gen.bin"));
  timer->before_tick = [&](int) { w->halt->click(); };
  QTest::mouseClick(w->store, Qt::LeftButton);

  use(1, port(), "1000000", "200");
  EXPECT_EQ(w->src_status->text(), "Serial lines on " + port() + " at 1000000 baud");
  play_from_first_tick(400, 200);
  bool locked = true;
  int presses = 0;
  at = [&](double t) {
    locked =
        locked && !w->src_list->isEnabled() && !w->port_list->isEnabled() && !w->sampling_hz->isEnabled();
    // MARKER from 0.5 s to 1 s, one STIM at 1.5 s.
    if (t >= 0.5 * (presses + 1) && presses < 3) (presses++ == 2 ? w->stim : w->drug_button)->click();
  };
  stop_at(2.5);
  dialogs->expect_save("Open file to save data", path("dev.bin"));
  QTest::mouseClick(w->store, Qt::LeftButton);
  EXPECT_TRUE(locked);
  EXPECT_TRUE(w->store->isEnabled() && w->src_list->isEnabled() && w->port_list->isEnabled());
  EXPECT_TRUE(w->src_status->text().contains("frames/s arriving, 200 Hz declared"))
      << w->src_status->text().toStdString();

  const auto [header, frames] = read_recording(path("dev.bin"), 3);
  EXPECT_EQ(header.toHex().toStdString(), read_recording(path("gen.bin"), 3).first.toHex().toStdString());
  ASSERT_EQ(frames.size(), sent.size());
  std::map<int16_t, int> markers;
  for (size_t k = 0; k < sent.size(); ++k) {
    sent[k][3] = frames[k][3];
    EXPECT_EQ(frames[k], sent[k]) << "frame " << k;
    ++markers[frames[k][3]];
  }
  EXPECT_EQ(markers.size(), 3u) << "0, 100 and 200 only";
  EXPECT_NEAR(markers[100], 100, 50) << "MARKER held for half a second";
  EXPECT_EQ(markers[200], 1);
}

TEST_F(Device, AModalBoxHeldOpenTenSecondsLosesNothingAndUnpluggingKeepsEveryFrame) {
  use(1, port(), "1000000", "1000");
  const std::vector<std::string> bad = {"\x01\xfe\x80zz\r\n", std::string(1500, '7') + "\n", "12 13 14\n",
                                        "\n"};
  play_from_first_tick(13000, 1000, bad, 13000 + 4);
  at = [&](double t) {
    if (t < 1.0 || dialogs->asked().size() > 1) return;
    dialogs->hold_next_warning(10000);
    w->dialogs().warning("held open", "test");
  };
  dialogs->expect_save("Open file to save data", path("data01.bin"));
  dialogs->expect_warning("held open");
  const QString ended = port() + " hung up (unplugged, or the board was reset) after ";
  dialogs->expect_warning_starting("The recording ended: " + ended);
  QTest::mouseClick(w->store, Qt::LeftButton);

  const Frames frames = read_recording(path("data01.bin"), 3).second;
  // What the pty still held as its end closed went with the cable; all that came is there.
  ASSERT_GE(frames.size(), sent.size() - 10);
  ASSERT_LE(frames.size(), sent.size());
  for (size_t k = 0; k < frames.size(); ++k) ASSERT_EQ(frames[k], sent[k]) << "frame " << k;
  EXPECT_EQ(dialogs->asked().back().prompt,
            QString("The recording ended: %1%2 frames: every frame received is kept. The file %3 holds every "
                    "frame received.")
                .arg(ended)
                .arg(frames.size())
                .arg(path("data01.bin")));
  EXPECT_TRUE(
      w->src_status->text().contains("Counted: 1 garbled line, 1 line over 1 KB, 2 lines short of values"))
      << w->src_status->text().toStdString();
  EXPECT_EQ(w->s.recording, kFalse);
  EXPECT_TRUE(w->store->isEnabled());
}

struct Refused {
  const char* name;
  int source;
  const char* port;  // "" for the board's
  const char* baud;
  const char* rate;
  const char* message;  // %1 the port
};

class RefusedStart : public Device, public ::testing::WithParamInterface<Refused> {};

// Before any file is asked for, by Record and Monitor alike: the message, the controls back.
TEST_P(RefusedStart, SaysWhyAndLeavesNoFile) {
  const Refused& c = GetParam();
  const QString p = *c.port ? QString(c.port) : port();
  use(c.source, p, c.baud, c.rate);
  DeviceSettings other;  // holds the board's port for the busy case
  other.port = p;
  other.inputs = InputSet::of({1});
  const DeviceStart holder = std::string(c.name) == "Busy" ? SerialDevice::start(other) : DeviceStart{};
  for (QPushButton* b : {w->store, w->monitor}) {
    dialogs->expect_warning(QString(c.message).replace("%1", p));
    QTest::mouseClick(b, Qt::LeftButton);
    dialogs->verify();
    EXPECT_TRUE(w->store->isEnabled() && w->src_list->isEnabled() && w->port_list->isEnabled());
  }
  EXPECT_TRUE(QDir(data_dir.path()).entryList(QDir::Files).isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RefusedStart,
    ::testing::Values(
        Refused{"Missing", 1, "/dev/ttyQUARVEL9", "115200", "100",
                "There is no serial port %1: is the board plugged in, and is this its port?"},
        Refused{"NotASerialPort", 1, "/dev/null", "115200", "100", "%1 is not a serial port."},
        Refused{
            "Busy", 1, "", "115200", "100",
            "%1 is busy: another program (a serial monitor, the Arduino IDE, another Quarvel) has it open. "
            "Close it and try again."},
        Refused{"BaudNotANumber", 1, "", "fast", "100", "The baud rate must be from 9600 to 2000000."},
        Refused{
            "LinesTooFast", 1, "", "9600", "1000",
            "Lines of up to 21 characters at 1000 Hz need 21000 bytes a second, more than a 9600 baud link "
            "carries (about 864). The highest rate that fits is 41 Hz."},
        Refused{"FirmataTooFast", 2, "", "57600", "1000",
                "3 inputs of a Firmata board (3 bytes each) at 1000 Hz need 9000 bytes a second, more than a "
                "57600 "
                "baud link carries (about 5184). The highest rate that fits is 500 Hz."},
        Refused{
            "FirmataNoWholeMillisecond", 2, "", "57600", "300",
            "A Firmata board samples every whole millisecond: 300 Hz would need 3.333 ms. The nearest rates "
            "are 333.333 Hz (3 ms) and 250 Hz (4 ms)."}),
    [](const auto& i) { return std::string(i.param.name); });

TEST_F(Device, BlockModeTakesAFirmataBoardsNextFramesAndPulsesItsPin) {
  FirmataBoardPlay play;
  play.value = [](int64_t k, int ch) { return static_cast<int>((k * 3 + ch * 100) % 1024); };
  play.inject_after[5] = {0x05, 0x06};  // data bytes outside any message
  board.play_firmata(play);
  use(2, port(), "57600", "100");
  dialogs->expect_input("Block length (ms):", "500");
  w->mnuBlock->trigger();
  type_into(w->sampling_hz, "10000");  // the block view's box holds the sampling interval in us
  type_into(w->dly1, "100");
  type_into(w->stim_num, "2");
  type_into(w->interval, "200");
  dialogs->expect_save("Open file to save data", path("data01.bin"));
  QTest::mouseClick(w->store, Qt::LeftButton);
  QTest::mouseClick(w->stim, Qt::LeftButton);
  ASSERT_EQ(w->s.block_count, 1);
  QTest::mouseClick(w->save, Qt::LeftButton);
  // A STIM stopped before its block is complete saves nothing; STOP is then the recording's CLOSE.
  timer->before_tick = [&, ticks = timer->ticks](int n) {
    if (n == ticks + 50) w->halt->click();
  };
  QTest::mouseClick(w->stim, Qt::LeftButton);
  EXPECT_EQ(w->s.recording, kFalse);
  EXPECT_EQ(w->s.saved_count, 1);
  EXPECT_EQ(board.interval_ms(), 10);
  for (int i = 0; i < 100 && board.reported_channels() != 0; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_EQ(board.reported_channels(), 0) << "reporting off at the end";
  EXPECT_TRUE(w->src_status->text().contains("(StandardFirmata.ino 2.5, Firmata 2.5)"))
      << w->src_status->text().toStdString();
  EXPECT_TRUE(w->src_status->text().contains("1 malformed Firmata message"))
      << w->src_status->text().toStdString();

  // The saved block is a run of the board's frames, with the marks at 100 and 300 ms.
  const Frames frames = read_recording(path("data01.bin"), 3).second;
  ASSERT_EQ(frames.size(), 50u);
  const std::vector<Frame> all = board.frames_sent();
  size_t first = 0;
  while (first < all.size() && all[first].input(2) != frames[0][0]) ++first;
  ASSERT_LE(first + 50, all.size());
  for (size_t j = 0; j < 50; ++j) {
    const Frame& f = all[first + j];
    EXPECT_EQ(frames[j],
              (std::vector<int16_t>{f.input(2), f.input(4), f.input(1), int16_t(j % 20 == 10 ? 200 : 0)}))
        << j;
  }
  // Pin 13 is bit 5 of digital port 1: high at each mark, low again after it.
  std::vector<DigitalWrite> highs, lows;
  for (const DigitalWrite& d : board.digital_writes())
    if (d.port == 1) ((d.levels & 0x20) ? highs : lows).push_back(d);
  ASSERT_GE(highs.size(), 2u);
  ASSERT_GE(lows.size(), 2u);
  using Ms = std::chrono::duration<double, std::milli>;
  EXPECT_NEAR(Ms(highs[1].at - highs[0].at).count(), 200, 40) << "the marks are 20 frames apart";
}

}  // namespace
