// The main window "quarvel": every control, menu and results grid of the program under its name,
// the shared state, and the services it asks the world through. Handlers are thin: they call the
// procedures of the subsystem folders, which act on the state and on these controls.
#pragma once

#include <QFile>
#include <QHash>
#include <QMainWindow>
#include <array>
#include <functional>
#include <memory>
#include <utility>

#include "app/services.h"
#include "core/indexed.h"
#include "core/shared_state.h"
#include "datafile/recording_writer.h"
#include "display/plot_geometry.h"

class QAction;
class QButtonGroup;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLayout;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QScrollBar;

namespace quarvel {

class ProgressWindow;
class SerialDevice;
class ResultsGrid;
class Surface;

class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  explicit MainWindow(Services services, QWidget* parent = nullptr);
  ~MainWindow() override;

  SharedState s;
  Services services;
  Dialogs& dialogs() { return *services.dialogs; }
  TickTimer& Timer1() { return *services.timer; }
  const Clock& clock() const { return *services.clock; }

  // --- controls
  Surface* disp;
  QScrollBar* view_scroll;  // under disp: the position in a continuous file
  QFrame* Picture1;
  std::array<QLineEdit*, 20> Text1;
  QLineEdit* status;
  QFrame* controler;
  QGroupBox* Frame1;
  std::array<QRadioButton*, 3> ch_select;
  std::array<QComboBox*, 3> ch_list;
  std::array<QComboBox*, 3> gain;
  QComboBox* sampling_hz;
  QComboBox* scr_lng;
  QComboBox* file_lng;
  QComboBox* dly1;
  QComboBox* stim_num;
  QComboBox* interval;
  QComboBox* src_list;   // the signal source: Generator, Serial lines, Firmata board
  QComboBox* port_list;  // a device's serial port: the ports listed, or a typed path
  QComboBox* baud_list;  // a device's baud rate
  QPushButton* monitor;
  QPushButton* store;
  QPushButton* halt;
  QPushButton* save;
  QPushButton* stim;
  QPushButton* drug_button;
  QPushButton* accept;
  QPushButton* clear_ave;
  QPushButton* mul;
  QPushButton* div;
  QPushButton* pshift;
  QPushButton* nshift;
  QPushButton* PgUp;
  QPushButton* PgDn;
  QPushButton* add;
  QPushButton* del;
  QPushButton* Clear;
  QPushButton* newblk;
  std::array<ResultsGrid*, 3> Grid1;
  QLabel* ave_count;
  QLabel* ave_count_label;
  QLabel* SA_label;
  QLabel* Label1;
  QLabel* dummy;
  QLabel* sampling_label;
  QLabel* hz;
  QLabel* scr_lng_label;
  QLabel* scr_unit;
  QLabel* file_label;
  QLabel* file_unit;
  QLabel* dly1_label;
  QLabel* ms1_label;
  QLabel* stim_num_label;
  QLabel* interval_label;
  QLabel* ms2_label;
  QLabel* gain_label;
  QLabel* ch_label;
  QLabel* input_hint;  // what to choose while no channel has an input
  QLabel* src_status;  // the source in use and, while it runs, how its frames arrive
  ProgressWindow* Scroll;

  // --- menus (a menu with items is a QMenu; a command on the bar itself is a QAction)
  QMenu* mnuFile;
  QAction* mnuOpen;
  QAction* mnuSaveResults;
  QAction* mnuExportEdf;
  QAction* mnuSavePicture;
  QMenu* mnuRecent = nullptr;  // the files opened last, under Open
  QAction* separator1;
  QAction* mnuExit;
  QMenu* mnuCopy;
  IndexedArray<QAction*, 1, 5> mnuCopyitem{};
  QMenu* mnuZoom;
  QAction* mnuExpand;
  QAction* mnuCompress;
  QAction* mnuZoom_sel;
  QMenu* mnuDisplay;
  QAction* mnuS_A;
  QAction* mnuA_S;
  QAction* mnuS;
  QAction* mnuA;
  QAction* separator2;
  QAction* mnuOverplot;
  QAction* separator3;
  QAction* mnuRaw;
  QAction* mnuPSD;
  QAction* mnuFilter;
  QAction* separator4;
  QAction* mnuUnitsConverter;
  QAction* mnuUnitsPhysical;
  QAction* mnuInvert;
  QAction* mnuMarksoff;
  QMenu* mnuText;
  QAction* mnuTextInsert;
  QAction* mnuTextDelete;
  QAction* mnuPeaks;
  QAction* mnuBlock;
  QAction* mnuContinuous;
  QAction* mnuCalibrate;
  QAction* mnuMeasure;
  QAction* mnuQuarvel;

  // --- runtime objects
  RecordingWriter recorder;  // the recording file while one is open
  // The device a block recording takes its blocks from, from Record to CLOSE; shared with a block
  // being taken, so a CLOSE during it ends the recording without pulling the device from under it.
  std::shared_ptr<SerialDevice> block_device;
  QFile data_file;           // the file being read

  // The results tables as the other subsystems need them: emptied, with the header of the view in
  // force, when the data or the view changes under the readings. The results tables provide it.
  std::function<void()> reset_results = [] {};
  // Asked before a command discards readings that were not saved: true when it may go on (nothing
  // to lose, saved, or discarded by the user), false when it must leave everything as it was. The
  // results tables provide it.
  std::function<bool()> readings_may_go = [] { return true; };

  // The pixel width of the surface into disp_px_width, its user width kept (as a whole number).
  void measure_surface();
  // Empties, disables and hides all twenty annotation boxes.
  void free_annotation_boxes();
  // The control, menu item or menu (for a menu's entry on the bar) of that window name; null when
  // the window has none.
  QObject* control(const QString& name);

  // The plot geometry of channel ch on the surface as it is now, and that channel's vertical scale
  // put in force on the surface (the horizontal part stays).
  PlotGeometry channel_geometry(int ch) const;
  void use_channel_scale(int ch);

  // The hourglass (true) or the normal arrow over the window.
  void set_busy(bool busy);
  bool busy() const { return busy_; }

  // A file being read. The window is repainted and takes events while it is read, but commands
  // wait for no read (run_command passes them by), except Open and Exit and closing the window:
  // they end the read (the file shown before stays) and then run.
  enum class AfterLoad { Nothing, Open, Exit };
  bool load_under_way() const { return loading_; }
  void set_load_under_way(bool on) { loading_ = on; }
  void end_load_then(AfterLoad then) { after_load_ = then; }
  AfterLoad after_load() const { return after_load_; }
  // The command asked for during the read, once; Nothing when none was.
  AfterLoad take_after_load() { return std::exchange(after_load_, AfterLoad::Nothing); }
  // The status line: text, followed by the filters in force on the working samples.
  void show_status(const QString& text);
  // The same text again, after the filters in force have changed.
  void show_status() { show_status(status_text_); }
  // The window caption (the status line of the mode).
  void set_caption(const QString& text) { setWindowTitle(text); }
  QString caption() const { return windowTitle(); }

 protected:
  // Closing the window ends a running acquisition loop, which writes what it recorded; the program
  // ends with its window. Readings not saved are asked about first, as Exit asks.
  void closeEvent(QCloseEvent* e) override;

 signals:
  // Emitted after the window has laid out a new size for the plotting surface.
  void surface_resized();

 private:
  void build_controls();
  void build_display_controls();
  void build_acquisition_controls();
  void build_buttons();
  void build_results_and_labels();
  void build_menus();
  void build_layout();
  QLayout* results_column();
  QLayout* controls_column();
  void fill_acquisition_panel();
  bool busy_ = false;
  bool loading_ = false;
  AfterLoad after_load_ = AfterLoad::Nothing;
  QString status_text_;
  QHash<QString, QObject*> controls_by_name_;
};

}  // namespace quarvel
