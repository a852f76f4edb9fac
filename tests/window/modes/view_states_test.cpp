// Guards what the window offers in every view, whichever way the user came into it: for each way
// (start-up, Open of each kind, Block, Continuous, Filter, PSD, Raw, Overplot, Measure, Quarvel, Monitor,
// record start and stop in both views) the whole set of control and menu states, read from the
// widgets after real clicks and menu commands. Hidden controls are checked for being hidden only.
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <functional>

#include "support/window_fixture.h"

using namespace quarvel;
using quarvel::testing::FileShape;
using quarvel::testing::WindowTest;

namespace {

// clang-format off
const QStringList kAllControls = {
    "mnuFile", "mnuOpen", "mnuSaveResults", "mnuExportEdf", "mnuSavePicture", "separator1", "mnuExit",
    "mnuCopy", "mnuCopyitem(1)", "mnuCopyitem(2)", "mnuCopyitem(3)", "mnuCopyitem(4)", "mnuCopyitem(5)",
    "mnuZoom", "mnuExpand", "mnuCompress", "mnuZoom_sel", "mnuDisplay", "mnuS", "mnuA", "mnuS_A", "mnuA_S",
    "mnuOverplot", "mnuRaw", "mnuPSD", "mnuFilter", "separator4", "mnuUnitsConverter", "mnuUnitsPhysical",
    "mnuInvert", "mnuMarksoff", "mnuText", "mnuTextInsert", "mnuTextDelete",
    "mnuPeaks", "mnuBlock", "mnuContinuous", "mnuCalibrate", "mnuMeasure", "mnuQuarvel",
    "controler", "monitor", "store", "halt", "save", "stim", "drug_button", "sampling_label", "sampling_hz", "hz",
    "scr_lng_label", "scr_lng", "scr_unit", "file_label", "file_lng", "file_unit", "dly1_label", "dly1",
    "ms1_label", "stim_num_label", "stim_num", "interval_label", "interval", "ms2_label", "ave_count",
    "ave_count_label", "ch_label", "gain_label", "input_hint", "ch_list(0)", "ch_list(1)", "ch_list(2)",
    "gain(0)", "gain(1)", "gain(2)", "src_list", "port_list", "baud_list", "src_status",
    "Frame1", "ch_select(0)", "ch_select(1)", "ch_select(2)", "mul", "div", "pshift", "nshift", "accept",
    "clear_ave", "SA_label",
    "PgUp", "PgDn", "status", "add", "del", "Clear", "newblk", "Grid1(0)", "Grid1(1)", "Grid1(2)"};

const QStringList kAcquisitionPanel = {
    "controler", "monitor", "store", "halt", "save", "stim", "drug_button", "sampling_label", "sampling_hz", "hz",
    "scr_lng_label", "scr_lng", "scr_unit", "file_label", "file_lng", "file_unit", "dly1_label", "dly1",
    "ms1_label", "stim_num_label", "stim_num", "interval_label", "interval", "ms2_label", "ave_count",
    "ave_count_label", "ch_label", "gain_label", "input_hint", "ch_list(0)", "ch_list(1)", "ch_list(2)",
    "gain(0)", "gain(1)", "gain(2)", "src_list", "port_list", "baud_list", "src_status"};
// clang-format on
const QStringList kResultsSide = {"PgUp",  "PgDn",   "status",   "add",      "del",
                                  "Clear", "newblk", "Grid1(0)", "Grid1(1)", "Grid1(2)"};
const QStringList kAnalysisMenus = {"mnuOpen",           "mnuSaveResults",  "mnuExportEdf", "separator1",
                                    "mnuCopy",           "mnuZoom",         "mnuInvert",    "mnuMarksoff",
                                    "mnuText",           "mnuPeaks",        "mnuMeasure",   "mnuFilter",
                                    "separator4",        "mnuUnitsConverter", "mnuUnitsPhysical"};
const QStringList kBlockDisplayItems = {"mnuA", "mnuS_A", "mnuA_S", "mnuOverplot", "mnuPSD"};
const QStringList kStimulusSettings = {"dly1_label", "dly1",           "ms1_label", "stim_num_label",
                                       "stim_num",   "interval_label", "interval",  "ms2_label"};
const QStringList kLengths = {"scr_lng_label", "scr_lng", "scr_unit", "file_label", "file_lng", "file_unit"};
const QStringList kChannelLists = {"ch_list(0)", "ch_list(1)", "ch_list(2)", "gain(0)", "gain(1)", "gain(2)"};
const QStringList kScales = {"mul",          "div",          "pshift",      "nshift",
                             "ch_select(0)", "ch_select(1)", "ch_select(2)"};
const QStringList kSingleTicked = {"mnuS", "mnuRaw", "ch_select(0)"};
// The generator has no port or baud rate; while it runs or records the source is not chosen either.
const QStringList kDeviceLink = {"port_list", "baud_list"};
const QStringList kSource = kDeviceLink + QStringList{"src_list"};
// Analysis with a file: the single curves in converter units.
const QStringList kAnalysisTicked = kSingleTicked + QStringList{"mnuUnitsConverter"};

// A view: what it hides, what it shows disabled, and what it ticks.
struct ViewStates {
  QStringList hidden;
  QStringList disabled;
  QStringList checked;
};

const ViewStates kStartUp{
    kAcquisitionPanel + QStringList{"Grid1(1)", "Grid1(2)", "mnuContinuous", "mnuCalibrate", "mnuQuarvel"},
    kBlockDisplayItems + QStringList{"mnuS", "accept", "clear_ave", "mnuExportEdf", "mnuFilter",
                                     "mnuUnitsConverter", "mnuUnitsPhysical"},
    {"mnuRaw", "ch_select(0)", "mnuUnitsConverter"}};
const ViewStates kAnalysisContinuous{kStartUp.hidden, kBlockDisplayItems + QStringList{"accept", "clear_ave"},
                                     kAnalysisTicked};
const ViewStates kFilteredContinuous{
    kAnalysisContinuous.hidden, kAnalysisContinuous.disabled, {"mnuS", "ch_select(0)", "mnuUnitsConverter"}};
const ViewStates kPhysicalContinuous{kAnalysisContinuous.hidden, kAnalysisContinuous.disabled,
                                     kSingleTicked + QStringList{"mnuUnitsPhysical"}};
const ViewStates kAnalysisBlock{
    kAcquisitionPanel + QStringList{"Grid1(1)", "Grid1(2)", "mnuCalibrate", "mnuQuarvel"},
    {"mnuPeaks", "mnuCopyitem(2)", "newblk"},
    kAnalysisTicked};
const ViewStates kSpectrum{
    kAnalysisBlock.hidden,
    kAnalysisBlock.disabled + QStringList{"mnuBlock", "mnuInvert", "mnuFilter", "accept", "clear_ave"},
    {"mnuS", "mnuPSD", "ch_select(0)", "mnuUnitsConverter"}};
const ViewStates kOverplot{kAnalysisBlock.hidden,
                           kAnalysisBlock.disabled,
                           {"mnuOverplot", "mnuRaw", "ch_select(0)", "mnuUnitsConverter"}};
const ViewStates kMeasureContinuous{
    kAnalysisMenus + kResultsSide + QStringList{"save", "mnuContinuous", "input_hint"},
    kBlockDisplayItems + kStimulusSettings + kDeviceLink +
        QStringList{"halt", "stim", "ave_count", "ave_count_label", "accept", "clear_ave"},
    kSingleTicked};
const ViewStates kMonitoring{
    kMeasureContinuous.hidden,
    kBlockDisplayItems + kStimulusSettings + kSource +
        QStringList{"store", "ave_count", "ave_count_label", "accept", "clear_ave", "mnuCalibrate"},
    kSingleTicked};
const ViewStates kRecordingContinuous{
    kMeasureContinuous.hidden,
    kBlockDisplayItems + kStimulusSettings + kLengths + kChannelLists + kScales + kSource +
        QStringList{"mnuFile", "mnuQuarvel", "mnuBlock", "mnuDisplay", "monitor", "store", "sampling_hz",
                    "ave_count", "ave_count_label", "accept", "clear_ave", "mnuCalibrate"},
    kSingleTicked};
const ViewStates kMeasureBlock{
    kAnalysisMenus + kResultsSide + QStringList{"monitor", "input_hint"},
    kLengths + kDeviceLink + QStringList{"halt", "save", "mnuOverplot", "mnuPSD", "mnuCopyitem(2)"},
    kSingleTicked};
const ViewStates kRecordingBlock{
    kMeasureBlock.hidden,
    kLengths + kChannelLists + kStimulusSettings + kSource +
        QStringList{"mnuFile", "mnuQuarvel", "mnuBlock", "mnuContinuous", "store", "sampling_hz",
                    "mnuOverplot", "mnuPSD", "mnuCopyitem(2)", "mnuCalibrate"},
    kSingleTicked};

FileShape continuous_file() {
  FileShape f;
  f.channels = 2;
  f.frames = 3000;
  return f;
}

FileShape block_file() {
  FileShape f = continuous_file();
  f.block_length = 500;
  return f;
}

class ViewStatesTest : public WindowTest {
 protected:
  struct Read {
    bool visible, enabled, checked;
  };
  Read read(const QString& name) {
    QObject* o = w->findChild<QObject*>(name);
    if (auto* m = qobject_cast<QMenu*>(o)) o = m->menuAction();
    if (auto* a = qobject_cast<QAction*>(o)) return {a->isVisible(), a->isEnabled(), a->isChecked()};
    auto* widget = qobject_cast<QWidget*>(o);
    if (!widget) return {false, false, false};
    auto* b = qobject_cast<QAbstractButton*>(widget);
    return {!widget->isHidden(), widget->isEnabled(), b && b->isChecked()};
  }
  // Every difference between the window and the view, one line each; empty when they agree.
  QStringList differences(const ViewStates& v) {
    QStringList out;
    for (const QString& name : kAllControls) {
      if (!w->findChild<QObject*>(name)) {
        out << name + ": no such control";
        continue;
      }
      const Read r = read(name);
      const bool visible = !v.hidden.contains(name);
      if (r.visible != visible) {
        out << name + (visible ? ": hidden" : ": shown");
        continue;
      }
      if (!visible) continue;
      if (r.enabled == v.disabled.contains(name)) out << name + (r.enabled ? ": enabled" : ": disabled");
      if (r.checked != v.checked.contains(name)) out << name + (r.checked ? ": ticked" : ": not ticked");
    }
    return out;
  }
  void expect_view(const ViewStates& v, const char* way) {
    EXPECT_EQ(differences(v).join("; ").toStdString(), "") << way;
  }

  void open(const QString& name, const FileShape& shape) {
    open_recording(name, shape);
    ASSERT_EQ(w->s.file_loaded, kTrue) << name.toStdString();
  }
  void block_length(const QString& ms) {
    dialogs->expect_input("Block length (ms):", ms);
    w->mnuBlock->trigger();
  }
  void measure_with_input() {
    w->mnuMeasure->trigger();
    choose_item(w->ch_list[0], 1);
  }
};

}  // namespace

TEST_F(ViewStatesTest, AfterEveryWayIntoTheAnalysisViews) {
  expect_view(kStartUp, "start-up");

  open("cont.bin", continuous_file());
  expect_view(kAnalysisContinuous, "Open of a continuous recording");
  dialogs->expect_filter(FilterSettings{.corner_hz = 5});
  w->mnuFilter->trigger();
  expect_view(kFilteredContinuous, "Filter");
  w->mnuRaw->trigger();
  expect_view(kAnalysisContinuous, "Raw curves after Filter");
  w->mnuUnitsPhysical->trigger();
  expect_view(kPhysicalContinuous, "Physical units");
  dialogs->expect_filter(FilterSettings{.corner_hz = 5});
  w->mnuFilter->trigger();
  w->mnuUnitsConverter->trigger();
  expect_view(kAnalysisContinuous, "Converter units, which drop the filter");
  block_length("100");
  expect_view(kAnalysisBlock, "Block mode");
  open("cont2.bin", continuous_file());
  expect_view(kAnalysisContinuous, "a continuous recording opened in a block view");

  open("blocks.bin", block_file());
  expect_view(kAnalysisBlock, "a block recording opened in the continuous view");
  w->mnuPSD->trigger();
  expect_view(kSpectrum, "PSD");
  w->mnuRaw->trigger();
  expect_view(kAnalysisBlock, "Raw curves");
  dialogs->expect_input("Enter displacement of first curve in % of display height:", "10");
  dialogs->expect_input("Enter displacement of subsequent curves in % of display height:", "5");
  w->mnuOverplot->trigger();
  expect_view(kOverplot, "Overplot");
  w->mnuContinuous->trigger();
  expect_view(kAnalysisContinuous, "Continuous");

  QByteArray prn(4 * 2 * 400, '\0');
  QFile f(data_path("trace.prn"));
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(prn);
  f.close();
  dialogs->expect_open("Open data file", data_path("trace.prn"));
  dialogs->expect_input("Number of recorded channels:", "2");
  dialogs->expect_input("Enter sampling frequency (Hz):", "100");
  w->mnuOpen->trigger();
  expect_view(kAnalysisContinuous, "Open of a .prn file");

  open("cont3.bin", continuous_file());
  const QString edf = data_path("cont3.edf");
  dialogs->expect_save("Export EDF+", edf);
  w->mnuExportEdf->trigger();
  dialogs->expect_open("Open data file", edf);
  dialogs->expect_input("Number of recorded channels:", "2");
  w->mnuOpen->trigger();
  EXPECT_EQ(w->s.data_file_name, edf);
  expect_view(kAnalysisContinuous, "Open of an EDF+ file");
}

TEST_F(ViewStatesTest, AfterEveryWayIntoTheMeasurementViews) {
  open("blocks.bin", block_file());
  w->mnuMeasure->trigger();
  choose_item(w->ch_list[0], 1);
  expect_view(kMeasureContinuous, "Measure after a block view");

  ViewStates while_monitoring;
  timer->before_tick = [&](int n) {
    if (n != 3) return;
    while_monitoring.hidden = kMonitoring.hidden;
    EXPECT_EQ(differences(kMonitoring).join("; ").toStdString(), "") << "Monitor";
    w->halt->click();
  };
  QTest::mouseClick(w->monitor, Qt::LeftButton);
  EXPECT_FALSE(while_monitoring.hidden.isEmpty()) << "the loop ran";
  expect_view(kMeasureContinuous, "STOP after Monitor");

  dialogs->expect_save("Open file to save data", data_path("data01.bin"));
  timer->before_tick = [&](int n) {
    if (n != 3) return;
    EXPECT_EQ(differences(kRecordingContinuous).join("; ").toStdString(), "") << "Record";
    w->halt->click();
  };
  QTest::mouseClick(w->store, Qt::LeftButton);
  expect_view(kMeasureContinuous, "STOP after Record");

  block_length("500");
  expect_view(kMeasureBlock, "Block mode in measurement");
  dialogs->expect_save("Open file to save data", data_path("data02.bin"));
  QTest::mouseClick(w->store, Qt::LeftButton);
  expect_view(kRecordingBlock, "Record in block mode");
  QTest::mouseClick(w->stim, Qt::LeftButton);
  QTest::mouseClick(w->save, Qt::LeftButton);
  QTest::mouseClick(w->halt, Qt::LeftButton);
  expect_view(kMeasureBlock, "CLOSE");

  w->mnuContinuous->trigger();
  expect_view(kMeasureContinuous, "Continuous in measurement");
  w->mnuQuarvel->trigger();
  expect_view(kStartUp, "Quarvel");
}
