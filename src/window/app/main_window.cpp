#include "app/main_window.h"

#include <QAction>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>

#include "acquisition/serial_device.h"
#include "acquisition/source_choice.h"
#include "app/commands.h"
#include "app/handlers.h"
#include "app/remembered.h"
#include "app/startup.h"
#include "core/numbers.h"
#include "display/status_line.h"
#include "ui/fonts.h"
#include "ui/progress_window.h"
#include "ui/results_grid.h"
#include "ui/surface.h"

namespace quarvel {

namespace {

// Every control is found by its name in the window: object name and accessible description are
// that name; a control without a caption of its own also gets a short human name.
template <typename W>
W* named(W* w, const QString& name, const QString& human = QString()) {
  w->setObjectName(name);
  w->setAccessibleDescription(name);
  if (!human.isEmpty()) w->setAccessibleName(human);
  return w;
}

QString indexed(const char* name, int i) {
  return QStringLiteral("%1(%2)").arg(name).arg(i);
}

QPushButton* button(const char* name, const QString& caption, const QFont& font, const QString& human = {}) {
  auto* b = named(new QPushButton(caption), name, human);
  b->setFont(font);
  b->setAutoDefault(false);
  return b;
}

QLabel* label(const char* name, const QString& caption, const QFont& font, const QString& human = {}) {
  auto* l = named(new QLabel(caption), name, human);
  l->setFont(font);
  return l;
}

// A box whose text is its value: assistive technology reads that text, so it gets no name of its
// own.
QComboBox* combo(const char* name, const QStringList& items, bool editable) {
  auto* c = named(new QComboBox, name);
  c->setEditable(editable);
  if (editable) {
    c->setInsertPolicy(QComboBox::NoInsert);
    // What the user types is what the program reads: no completion to a list entry.
    c->setCompleter(nullptr);
  }
  c->addItems(items);
  return c;
}

QStringList numbers(int from, int to) {
  QStringList l;
  for (int i = from; i <= to; ++i) l << QString::number(i);
  return l;
}

}  // namespace

MainWindow::MainWindow(Services svc, QWidget* parent) : QMainWindow(parent), services(std::move(svc)) {
  setObjectName("quarvel");
  setAccessibleDescription("quarvel");
  if (auto* qt = dynamic_cast<QtDialogs*>(services.dialogs.get())) qt->set_parent(this);
  if (!services.clock) services.clock = std::make_unique<SteadyClock>();
  build_controls();
  build_menus();
  build_layout();
  wire_handlers(*this);
  form_initialize(*this);
  // 1280 x 800 where the screen has room for it and its frame; the whole window on smaller screens
  // (the start-up view has hidden the tall acquisition panel by now).
  const QSize room = screen()->availableGeometry().size() - QSize(16, 48);
  resize(QSize(1280, 800).boundedTo(room));
  restore_window_geometry(*this);
}

MainWindow::~MainWindow() = default;

void MainWindow::closeEvent(QCloseEvent* e) {
  if (loading_) {
    end_load_then(AfterLoad::Exit);
    e->ignore();
    return;
  }
  bool may_close = false;
  run_command(*this, [&] { may_close = readings_may_go(); });
  if (!may_close) {
    e->ignore();
    return;
  }
  s.stop_request = kTrue;
  keep_window_geometry(*this);
  QMainWindow::closeEvent(e);
}

void MainWindow::measure_surface() {
  const double kept = round_even(disp->scale_width());
  s.disp_px_width = round_i16(disp->pixel_width());
  disp->set_scale_width(std::max(1.0, kept));
}

void MainWindow::free_annotation_boxes() {
  for (QLineEdit* t : Text1) {
    t->clear();
    t->setEnabled(false);
    t->hide();
  }
}

QObject* MainWindow::control(const QString& name) {
  auto it = controls_by_name_.find(name);
  if (it == controls_by_name_.end()) it = controls_by_name_.insert(name, findChild<QObject*>(name));
  return it.value();
}

PlotGeometry MainWindow::channel_geometry(int ch) const {
  return quarvel::channel_geometry(s, disp->scale_width(), ch);
}

void MainWindow::use_channel_scale(int ch) {
  disp->use_vertical(channel_geometry(ch));
}

void MainWindow::set_busy(bool on) {
  busy_ = on;
  if (on) {
    setCursor(Qt::WaitCursor);
  } else {
    unsetCursor();
  }
}

void MainWindow::show_status(const QString& text) {
  status_text_ = text;
  status->setText(with_filters(text, s.filters));
}

void MainWindow::build_controls() {
  build_display_controls();
  build_acquisition_controls();
  build_buttons();
  build_results_and_labels();
  Scroll = new ProgressWindow(this);
}

// The plotting surface with what lies on it: the annotation boxes and the cursor readout; the
// status line.
void MainWindow::build_display_controls() {
  const QFont times = times_font(10);
  const QFont arial = arial_font(9);
  disp = named(new Surface, "disp", "plotting surface");
  disp->setFont(arial);
  disp->set_back_colour(kBlue);
  disp->set_fore_colour(kWhite);
  disp->setMinimumSize(400, 250);
  disp->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  view_scroll = named(new QScrollBar(Qt::Horizontal), "view_scroll", "position in file");
  // The bar keeps its room while hidden, so the surface keeps its size whatever is loaded.
  QSizePolicy keep = view_scroll->sizePolicy();
  keep.setRetainSizeWhenHidden(true);
  view_scroll->setSizePolicy(keep);
  view_scroll->hide();
  Picture1 = named(new QFrame, "Picture1", "picture");
  Picture1->hide();
  for (int i = 0; i < 20; ++i) {
    Text1[i] = named(new QLineEdit(disp), indexed("Text1", i));
    Text1[i]->setFont(arial);
    Text1[i]->hide();
    Text1[i]->setEnabled(false);
  }
  // Over the surface, so it takes no room from the panel on a small screen.
  input_hint = named(new QLabel("Choose an input (1. ch to 4. ch) for a channel to monitor or record.", disp),
                     "input_hint");
  input_hint->setAccessibleName(input_hint->text());
  input_hint->setFont(times);
  input_hint->setAutoFillBackground(true);
  input_hint->move(60, 4);  // past the amplitude labels of the left margin
  input_hint->adjustSize();
  input_hint->hide();
  Label1 = named(new QLabel("Label1", disp), "Label1");
  Label1->setFont(times);
  Label1->setAutoFillBackground(true);
  Label1->hide();
  // Under the surface in measurement, where the results bar is hidden; long warnings wrap.
  src_status = named(new QLabel("Generator"), "src_status");
  src_status->setAccessibleName(src_status->text());
  src_status->setFont(arial);
  src_status->setWordWrap(true);
  status = named(new QLineEdit, "status");
  status->setFont(arial);
  status->setReadOnly(true);
}

// The acquisition panel's lists and boxes, and the channel selection.
void MainWindow::build_acquisition_controls() {
  const QFont times = times_font(10);
  controler = named(new QFrame, "controler", "acquisition panel");
  controler->setFrameShape(QFrame::StyledPanel);
  Frame1 = named(new QGroupBox, "Frame1", "channel selection");
  auto* group = new QButtonGroup(this);
  for (int i = 0; i < 3; ++i) {
    ch_select[i] = named(new QRadioButton(QString::number(i + 1)), indexed("ch_select", i),
                         QStringLiteral("select channel %1").arg(i + 1));
    ch_select[i]->setFont(times);
    group->addButton(ch_select[i], i);
    ch_list[i] = combo(indexed("ch_list", i).toLatin1(), {"none", "1. ch", "2. ch", "3. ch", "4. ch"}, false);
    gain[i] = combo(indexed("gain", i).toLatin1(), {"1x", "2x", "4x", "8x"}, false);
  }
  sampling_hz = combo("sampling_hz", {"200", "100", "50", "25", "10"}, true);
  scr_lng = combo("scr_lng", {"5", "10", "15", "20", "30", "40", "50", "60"}, true);
  file_lng = combo("file_lng", {"5", "10", "15", "20", "30", "40", "50", "60"}, true);
  file_lng->setEditText("180");
  dly1 = combo("dly1", numbers(0, 10), true);
  stim_num = combo("stim_num", numbers(0, 10), true);
  interval = combo("interval", numbers(0, 10), true);
  src_list = combo("src_list", source_captions(), false);
  port_list = combo("port_list", {}, true);
  baud_list = combo("baud_list", baud_choices(), true);
  baud_list->setEditText(QString::number(kDefaultLinesBaud));
}

// Every push button; those whose caption is a symbol get a spoken name.
void MainWindow::build_buttons() {
  const QFont times = times_font(10);
  const QFont arial = arial_font(9);
  const QFont symbol = times_font(11, true);
  monitor = button("monitor", "Monitor", times);
  store = button("store", "Record", times);
  halt = button("halt", "STOP", times);
  save = button("save", "Save", times);
  stim = button("stim", "STIM", times);
  drug_button = button("drug_button", "MARKER ON", times);
  accept = button("accept", "+", times, "add block to average");
  clear_ave = button("clear_ave", "clr", times, "clear average");
  mul = button("mul", "*2", symbol, "finer amplitude scale");
  div = button("div", "/2", symbol, "coarser amplitude scale");
  pshift = button("pshift", QString::fromUtf8("\u2191"), symbol, "shift up");
  nshift = button("nshift", QString::fromUtf8("\u2193"), symbol, "shift down");
  PgUp = button("PgUp", "<", arial, "previous page");
  PgDn = button("PgDn", ">", arial, "next page");
  add = button("add", "Add", times);
  del = button("del", "Delete", times);
  Clear = button("Clear", "CLR", times);
  newblk = button("newblk", "Newblk", times);
}

// The three results grids, coloured like their channels, and the labels.
void MainWindow::build_results_and_labels() {
  const QFont times = times_font(10);
  const QFont arial = arial_font(9);
  for (int i = 0; i < 3; ++i) {
    Grid1[i] = named(new ResultsGrid(200, 8), indexed("Grid1", i),
                     QStringLiteral("results of channel %1").arg(i + 1));
    Grid1[i]->setMinimumHeight(150);
  }
  Grid1[1]->set_back_colour(kYellow);
  Grid1[2]->set_back_colour(kCyan);
  ave_count = label("ave_count", "", times);
  ave_count_label = label("ave_count_label", "saved", times);
  SA_label = label("SA_label", "", times);
  dummy = label("dummy", "Label2", arial);
  dummy->hide();
  sampling_label = label("sampling_label", "sampling rate", times);
  hz = label("hz", "Hz", times);
  scr_lng_label = label("scr_lng_label", "screen length", times);
  scr_unit = label("scr_unit", "s", times);
  file_label = label("file_label", "file length", times);
  file_unit = label("file_unit", "s", times);
  dly1_label = label("dly1_label", "dly", times);
  ms1_label = label("ms1_label", "ms", times);
  stim_num_label = label("stim_num_label", "#", times);
  interval_label = label("interval_label", "intrvl", times);
  ms2_label = label("ms2_label", "ms", times);
  gain_label = label("gain_label", "gain", times);
  ch_label = label("ch_label", "ch", times);
}

void MainWindow::build_menus() {
  auto action = [this](QMenu* m, const char* name, const QString& caption, bool checkable = false) {
    auto* a = m ? m->addAction(caption) : menuBar()->addAction(caption);
    a->setObjectName(name);
    a->setCheckable(checkable);
    return a;
  };
  auto menu = [this](const char* name, const QString& caption) {
    QMenu* m = menuBar()->addMenu(caption);
    m->setObjectName(name);
    m->menuAction()->setObjectName(QStringLiteral("%1_entry").arg(name));
    return m;
  };
  mnuFile = menu("mnuFile", "&File");
  mnuOpen = action(mnuFile, "mnuOpen", "&Open");
  mnuSaveResults = action(mnuFile, "mnuSaveResults", "Save &results...");
  mnuExportEdf = action(mnuFile, "mnuExportEdf", "&Export EDF+...");
  mnuSavePicture = action(mnuFile, "mnuSavePicture", "Save &picture...");
  separator1 = mnuFile->addSeparator();
  separator1->setObjectName("separator1");
  mnuExit = action(mnuFile, "mnuExit", "E&xit");

  mnuCopy = menu("mnuCopy", "C&opy");
  const QStringList copy_items = {"&Picture", "&Block means", "&Whole table (Word)", "&Whole table (Excel)",
                                  "&Curve points (Excel)"};
  for (int i = 1; i <= 5; ++i) {
    mnuCopyitem[i] = mnuCopy->addAction(copy_items[i - 1]);
    mnuCopyitem[i]->setObjectName(indexed("mnuCopyitem", i));
  }

  mnuZoom = menu("mnuZoom", "&Zoom");
  mnuExpand = action(mnuZoom, "mnuExpand", "&Expand");
  mnuCompress = action(mnuZoom, "mnuCompress", "&Compress");
  mnuZoom_sel = action(mnuZoom, "mnuZoom_sel", "&Zoom selection");

  mnuDisplay = menu("mnuDisplay", "&Display");
  mnuS_A = action(mnuDisplay, "mnuS_A", "Single/Average", true);
  mnuA_S = action(mnuDisplay, "mnuA_S", "Average/Single", true);
  mnuS = action(mnuDisplay, "mnuS", "Single", true);
  mnuA = action(mnuDisplay, "mnuA", "Average", true);
  separator2 = mnuDisplay->addSeparator();
  separator2->setObjectName("separator2");
  mnuOverplot = action(mnuDisplay, "mnuOverplot", "Overplot", true);
  separator3 = mnuDisplay->addSeparator();
  separator3->setObjectName("separator3");
  mnuRaw = action(mnuDisplay, "mnuRaw", "Raw curves", true);
  mnuPSD = action(mnuDisplay, "mnuPSD", "PSD", true);
  mnuFilter = action(mnuDisplay, "mnuFilter", "&Filter...");
  separator4 = mnuDisplay->addSeparator();
  separator4->setObjectName("separator4");
  mnuUnitsConverter = action(mnuDisplay, "mnuUnitsConverter", "&Converter units", true);
  mnuUnitsPhysical = action(mnuDisplay, "mnuUnitsPhysical", "P&hysical units", true);

  mnuInvert = action(nullptr, "mnuInvert", "In&vert");
  mnuMarksoff = action(nullptr, "mnuMarksoff", "&Marks off");
  mnuText = menu("mnuText", "&Text");
  mnuTextInsert = action(mnuText, "mnuTextInsert", "Insert");
  mnuTextDelete = action(mnuText, "mnuTextDelete", "Delete");
  mnuPeaks = action(nullptr, "mnuPeaks", "Auto &peaks");
  mnuBlock = action(nullptr, "mnuBlock", "&Block mode");
  mnuContinuous = action(nullptr, "mnuContinuous", "&Continuous");
  mnuCalibrate = action(nullptr, "mnuCalibrate", "Ca&librate...");
  mnuMeasure = action(nullptr, "mnuMeasure", "Mea&sure");
  mnuQuarvel = action(nullptr, "mnuQuarvel", "&Quarvel");
}

void MainWindow::build_layout() {
  auto* central = new QWidget;
  auto* outer = new QHBoxLayout(central);
  outer->addLayout(results_column(), 1);
  auto* right_box = new QWidget;
  right_box->setLayout(controls_column());
  right_box->setFixedWidth(310);
  outer->addWidget(right_box);
  setCentralWidget(central);
  connect(disp, &Surface::resized, this, &MainWindow::surface_resized);
}

// Left: the plotting surface, the status line with the paging and results buttons, the grids.
QLayout* MainWindow::results_column() {
  auto* left = new QVBoxLayout;
  // Room beyond the minimum goes to the surface and, a quarter of it, to the grid.
  left->addWidget(disp, 3);
  left->addWidget(view_scroll);
  auto* bar = new QHBoxLayout;
  // The buttons take the width of their captions, so the status line keeps room for a whole date
  // on a small screen.
  for (QPushButton* b : {PgUp, PgDn, add, del, Clear, newblk}) {
    const QFontMetrics m = b->fontMetrics();
    b->setMaximumWidth(std::max(m.horizontalAdvance(b->text()), m.horizontalAdvance("MM")) +
                       2 * m.averageCharWidth() + 12);
  }
  bar->addWidget(PgUp);
  bar->addWidget(PgDn);
  bar->addWidget(status, 1);
  bar->addWidget(add);
  bar->addWidget(del);
  bar->addWidget(Clear);
  bar->addWidget(newblk);
  left->addLayout(bar);
  left->addWidget(src_status);
  for (auto* g : Grid1) left->addWidget(g, 1);
  return left;
}

// The acquisition panel: buttons, then one row per setting with its label and unit, then the
// input and gain of each channel.
void MainWindow::fill_acquisition_panel() {
  auto* panel = new QGridLayout(controler);
  // Rows close together, so the panel with the source rows still fits a 1024 x 600 screen.
  panel->setVerticalSpacing(2);
  int r = 0;
  auto row = [&](QWidget* a, QWidget* b, QWidget* c) {
    if (a) panel->addWidget(a, r, 0);
    if (b) panel->addWidget(b, r, 1);
    if (c) panel->addWidget(c, r, 2);
    ++r;
  };
  row(monitor, store, halt);
  row(stim, save, drug_button);
  panel->addWidget(src_list, r, 0, 1, 2);
  panel->addWidget(baud_list, r++, 2);
  panel->addWidget(port_list, r++, 0, 1, 3);
  row(sampling_label, sampling_hz, hz);
  row(scr_lng_label, scr_lng, scr_unit);
  row(file_label, file_lng, file_unit);
  row(dly1_label, dly1, ms1_label);
  row(stim_num_label, stim_num, nullptr);
  row(interval_label, interval, ms2_label);
  row(nullptr, ch_label, gain_label);
  for (int i = 0; i < 3; ++i) row(nullptr, ch_list[i], gain[i]);
}

// Right: the acquisition panel, the channel selection, the scale buttons and the average.
QLayout* MainWindow::controls_column() {
  auto* right = new QVBoxLayout;
  fill_acquisition_panel();
  right->addWidget(controler);
  auto* sel = new QHBoxLayout(Frame1);
  for (auto* rb : ch_select) sel->addWidget(rb);
  right->addWidget(Frame1);
  auto* scale = new QGridLayout;
  scale->addWidget(mul, 0, 0);
  scale->addWidget(div, 0, 1);
  scale->addWidget(pshift, 1, 0);
  scale->addWidget(nshift, 1, 1);
  right->addLayout(scale);
  auto* ave = new QGridLayout;
  ave->addWidget(accept, 0, 0);
  ave->addWidget(clear_ave, 0, 1);
  ave->addWidget(ave_count, 1, 0);
  ave->addWidget(ave_count_label, 1, 1);
  ave->addWidget(SA_label, 2, 0, 1, 2);
  right->addLayout(ave);
  right->addWidget(Picture1);
  right->addWidget(dummy);
  right->addStretch(1);
  return right;
}

}  // namespace quarvel
