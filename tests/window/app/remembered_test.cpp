// Guards what is kept between runs: the acquisition settings a person types or chooses in
// measurement mode (rate, lengths, inputs, gains, the source with its port and baud rate) come back, in the
// boxes and in force, when a new window enters measurement; text the program refuses is not kept; the
// window's size comes back; and a window without a store keeps nothing.
#include <QComboBox>
#include <QLabel>
#include <QSettings>

#include "support/window_fixture.h"
#include "ui/surface.h"

using namespace quarvel;
using namespace quarvel::testing;

namespace {

class Remembered : public WindowTest {
 protected:
  std::unique_ptr<QSettings> make_settings() override {
    return std::make_unique<QSettings>(settings_dir.filePath("quarvel.ini"), QSettings::IniFormat);
  }
  void measure() {
    w->mnuMeasure->trigger();
    settle();
  }
  QTemporaryDir settings_dir;
};

TEST_F(Remembered, TypedSettingsComeBackInANewWindow) {
  measure();
  type_into(w->sampling_hz, "50");
  type_into(w->scr_lng, "4");
  type_into(w->file_lng, "600");
  choose_item(w->ch_list[0], 2);
  choose_item(w->ch_list[2], 4);
  choose_item(w->gain[1], 3);
  choose_item(w->src_list, 2);
  EXPECT_EQ(w->baud_list->currentText(), "57600") << "a Firmata board's own baud rate";
  type_into(w->port_list, "/dev/pts/77");
  type_into(w->baud_list, "115200");
  w->resize(1400, 900);
  settle();
  const QSize size = w->size();
  ASSERT_EQ(size, QSize(1400, 900));

  rebuild_window();
  EXPECT_EQ(w->size(), size);
  EXPECT_EQ(w->s.sampling_rate, 10) << "analysis starts as always";
  measure();
  const SharedState& s = w->s;
  EXPECT_EQ(s.sampling_rate, 50);
  EXPECT_EQ(s.sample_interval, 1.0f / 50);
  EXPECT_EQ(s.scr_length, 4);
  EXPECT_EQ(s.file_length, 600);
  EXPECT_EQ(s.sample_count, 30000);
  EXPECT_EQ(s.ch_source[1], 2);
  EXPECT_EQ(s.ch_source[3], 4);
  EXPECT_EQ(s.channel_count, 2);
  EXPECT_EQ(w->disp->scale_width(), 4 * 50 / 0.8);
  // The stimulus boxes are typed into in block recording only; the store tests cover them.
  const std::pair<QComboBox*, QString> texts[] = {{w->sampling_hz, "50"}, {w->scr_lng, "4"}, {w->file_lng, "600"}};
  for (const auto& [box, text] : texts) EXPECT_EQ(box->currentText(), text) << box->objectName().toStdString();
  EXPECT_EQ(w->ch_list[0]->currentIndex(), 2);
  EXPECT_EQ(w->ch_list[1]->currentIndex(), 0);
  EXPECT_EQ(w->ch_list[2]->currentIndex(), 4);
  EXPECT_EQ(w->gain[1]->currentIndex(), 3);
  EXPECT_EQ(w->src_list->currentText(), "Firmata board");
  EXPECT_EQ(s.signal_source, 2);
  EXPECT_EQ(w->port_list->currentText(), "/dev/pts/77");
  EXPECT_EQ(w->baud_list->currentText(), "115200");
  EXPECT_EQ(w->src_status->text(), "Firmata board on /dev/pts/77 at 115200 baud");
}

TEST_F(Remembered, RefusedTextIsNotKept) {
  measure();
  type_into(w->sampling_hz, "25");
  type_into(w->sampling_hz, "5000");  // refused: the box shows 25 again
  type_into(w->scr_lng, "abc");
  choose_item(w->src_list, 1);
  type_into(w->baud_list, "250000");
  type_into(w->baud_list, "5000000");  // beyond any port: the last one taken stays kept
  rebuild_window();
  measure();
  EXPECT_EQ(w->baud_list->currentText(), "250000");
  EXPECT_EQ(w->s.sampling_rate, 25);
  EXPECT_EQ(w->sampling_hz->currentText(), "25");
  EXPECT_EQ(w->s.scr_length, 8);
}

class Unkept : public WindowTest {};

TEST_F(Unkept, AWindowWithoutAStoreStartsFromTheDefaults) {
  w->mnuMeasure->trigger();
  type_into(w->sampling_hz, "50");
  rebuild_window();
  w->mnuMeasure->trigger();
  EXPECT_EQ(w->s.sampling_rate, 10);
  EXPECT_EQ(w->sampling_hz->currentText(), "10");
}

}  // namespace
