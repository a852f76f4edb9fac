#include "ui/calibration_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace quarvel {

namespace {

QString indexed(const char* name, int i) {
  return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(i);
}

template <typename W>
W* named(W* w, const QString& name, const QString& human) {
  w->setObjectName(name);
  w->setAccessibleDescription(name);
  w->setAccessibleName(human);
  return w;
}

QLineEdit* box(const char* name, int input, const QString& human, const QString& text, int chars) {
  auto* e = named(new QLineEdit(text), indexed(name, input), human.arg(input));
  e->setMinimumWidth(e->fontMetrics().averageCharWidth() * chars + 12);
  return e;
}

QLabel* sign(const QString& text) {
  auto* l = new QLabel(text);
  l->setAccessibleName(text);
  return l;
}

}  // namespace

CalibrationDialog::CalibrationDialog(const CalibrationRequest& request, QWidget* parent) : QDialog(parent) {
  setObjectName("calibration");
  setAccessibleDescription("calibration");
  setWindowTitle("Calibrate inputs");
  auto* grid = new QGridLayout;
  const QStringList heads = {"", "Name", "Unit", "Given by", "Calibration"};
  for (int c = 0; c < heads.size(); ++c) grid->addWidget(new QLabel(heads[c]), 0, c);
  for (int i = 1; i <= kInputCount; ++i) {
    const CalibrationEntry& e = request.rows[i];
    Row& r = rows_[static_cast<size_t>(i - 1)];
    r.name = box("calib_name", i, "name of input %1", e.name, 10);
    r.unit = box("calib_unit", i, "unit of input %1", e.unit, 5);
    r.mode = named(new QComboBox, indexed("calib_mode", i), QStringLiteral("input %1 given by").arg(i));
    r.mode->addItems({"gain and offset", "two points"});
    r.gain = box("calib_gain", i, "gain of input %1", e.gain, 9);
    r.offset = box("calib_offset", i, "offset of input %1", e.offset, 9);
    r.x1 = box("calib_x1", i, "first converter value of input %1", e.x1, 6);
    r.y1 = box("calib_y1", i, "first physical value of input %1", e.y1, 7);
    r.x2 = box("calib_x2", i, "second converter value of input %1", e.x2, 6);
    r.y2 = box("calib_y2", i, "second physical value of input %1", e.y2, 7);
    const std::optional<int16_t> now = request.current[i];
    r.take1 = named(new QPushButton("Take"), indexed("calib_take1", i),
                    QStringLiteral("take the converter value of input %1 as the first point").arg(i));
    r.take2 = named(new QPushButton("Take"), indexed("calib_take2", i),
                    QStringLiteral("take the converter value of input %1 as the second point").arg(i));
    for (QPushButton* b : {r.take1, r.take2}) {
      b->setAutoDefault(false);
      b->setEnabled(now.has_value());
      b->setToolTip(now ? QStringLiteral("Converter value now: %1").arg(*now)
                        : QStringLiteral("Monitor the input first"));
    }
    if (now) {
      const QString value = QString::number(*now);
      connect(r.take1, &QPushButton::clicked, this, [&r, value] {
        r.x1->setText(value);
        r.y1->setFocus();
      });
      connect(r.take2, &QPushButton::clicked, this, [&r, value] {
        r.x2->setText(value);
        r.y2->setFocus();
      });
    }

    auto* by_gain = new QWidget;
    auto* g = new QHBoxLayout(by_gain);
    g->setContentsMargins(0, 0, 0, 0);
    g->addWidget(sign("gain"));
    g->addWidget(r.gain);
    g->addWidget(sign("offset"));
    g->addWidget(r.offset);
    g->addStretch(1);
    auto* by_points = new QWidget;
    auto* p = new QHBoxLayout(by_points);
    p->setContentsMargins(0, 0, 0, 0);
    for (QWidget* w :
         {static_cast<QWidget*>(r.x1), static_cast<QWidget*>(r.take1),
          static_cast<QWidget*>(sign(QString::fromUtf8("\u2192"))), static_cast<QWidget*>(r.y1),
          static_cast<QWidget*>(sign(";")), static_cast<QWidget*>(r.x2), static_cast<QWidget*>(r.take2),
          static_cast<QWidget*>(sign(QString::fromUtf8("\u2192"))), static_cast<QWidget*>(r.y2)})
      p->addWidget(w);
    r.pages = named(new QStackedWidget, indexed("calib_pages", i),
                    QStringLiteral("calibration of input %1").arg(i));
    r.pages->addWidget(by_gain);
    r.pages->addWidget(by_points);
    connect(r.mode, &QComboBox::currentIndexChanged, r.pages, &QStackedWidget::setCurrentIndex);
    r.mode->setCurrentIndex(e.by_points ? 1 : 0);
    r.pages->setCurrentIndex(e.by_points ? 1 : 0);

    grid->addWidget(sign(default_input_name(i)), i, 0);
    grid->addWidget(r.name, i, 1);
    grid->addWidget(r.unit, i, 2);
    grid->addWidget(r.mode, i, 3);
    grid->addWidget(r.pages, i, 4);
  }
  message_ = named(new QLabel, "calib_message", "");
  message_->setWordWrap(true);
  message_->setStyleSheet("color: #b00000");
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
  QPushButton* cancel = buttons->button(QDialogButtonBox::Cancel);
  named(ok, "calib_ok", ok->text().remove('&'));
  named(cancel, "calib_cancel", cancel->text().remove('&'));
  connect(buttons, &QDialogButtonBox::accepted, this, &CalibrationDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &CalibrationDialog::reject);
  auto* outer = new QVBoxLayout(this);
  outer->addWidget(
      new QLabel("Physical value = gain \u00d7 converter value + offset. A recording keeps its "
                 "channels' names, units and calibrations."));
  outer->addLayout(grid);
  outer->addWidget(message_);
  outer->addWidget(buttons);
}

CalibrationEntry CalibrationDialog::entry(int input) const {
  const Row& r = rows_[static_cast<size_t>(input - 1)];
  CalibrationEntry e;
  e.name = r.name->text();
  e.unit = r.unit->text();
  e.by_points = r.mode->currentIndex() == 1;
  e.gain = r.gain->text();
  e.offset = r.offset->text();
  e.x1 = r.x1->text();
  e.y1 = r.y1->text();
  e.x2 = r.x2->text();
  e.y2 = r.y2->text();
  return e;
}

void CalibrationDialog::accept() {
  CalibrationAnswer a;
  for (int i = 1; i <= kInputCount; ++i) {
    a.rows[i] = entry(i);
    const CalibrationOutcome o = calibration_from_entry(a.rows[i], i);
    if (!o.ok()) {
      message_->setText(o.refusal);
      message_->setAccessibleName(o.refusal);
      rows_[static_cast<size_t>(i - 1)].name->setFocus();
      return;
    }
    a.calibrations[i] = o.calibration;
  }
  answer_ = a;
  QDialog::accept();
}

}  // namespace quarvel
