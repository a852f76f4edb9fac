#include "ui/filter_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include "core/typed_values.h"

namespace quarvel {

namespace {

// The kinds in the order the list offers them.
constexpr std::array<FilterKind, 4> kKinds = {FilterKind::LowPass, FilterKind::HighPass, FilterKind::BandPass,
                                              FilterKind::Notch};

// A control under its window name, spoken as the label a person sees beside it.
template <typename W>
W* named(W* w, const QString& name, const QString& seen) {
  w->setObjectName(name);
  w->setAccessibleDescription(name);
  w->setAccessibleName(seen);
  return w;
}

QLineEdit* hz_box(const char* name, const QString& seen, double hz) {
  return named(new QLineEdit(hz_text(hz)), name, seen);
}

}  // namespace

FilterDialog::FilterDialog(const FilterSettings& proposal, double rate_hz, const PerChannel<bool>& recorded,
                           QWidget* parent)
    : QDialog(parent), rate_hz_(rate_hz), form_(new QFormLayout) {
  setWindowTitle("Filter");
  setObjectName("filter_dialog");
  setAccessibleDescription("filter_dialog");

  filter_kind = named(new QComboBox, "filter_kind", "Kind");
  filter_kind->addItems({"Low-pass", "High-pass", "Band-pass", "Notch (band-stop)"});
  for (int i = 0; i < static_cast<int>(kKinds.size()); ++i)
    if (kKinds[static_cast<size_t>(i)] == proposal.kind) filter_kind->setCurrentIndex(i);
  filter_order = named(new QSpinBox, "filter_order", "Order");
  filter_order->setRange(kFilterMinOrder, kFilterMaxOrder);
  filter_order->setValue(proposal.order);
  filter_corner = hz_box("filter_corner", "Corner frequency (Hz)", proposal.corner_hz);
  filter_low = hz_box("filter_low", "Lower edge (Hz)", proposal.low_hz);
  filter_high = hz_box("filter_high", "Upper edge (Hz)", proposal.high_hz);
  filter_centre = named(new QComboBox, "filter_centre", "Notch centre (Hz)");
  filter_centre->setEditable(true);
  filter_centre->setInsertPolicy(QComboBox::NoInsert);
  // What the person types is the centre: no completion to 50 or 60.
  filter_centre->setCompleter(nullptr);
  filter_centre->addItems({"50", "60"});
  filter_centre->setEditText(hz_text(proposal.centre_hz));
  filter_width = hz_box("filter_width", "Notch width (Hz)", proposal.width_hz);

  auto* channels = new QHBoxLayout;
  bool any = false;
  for (int c = 1; c <= 3; ++c) any = any || (recorded[c] && proposal.channels[c]);
  for (int c = 1; c <= 3; ++c) {
    const QString seen = QStringLiteral("channel %1").arg(c);
    auto* box = named(new QCheckBox(seen), QStringLiteral("filter_channel(%1)").arg(c - 1), seen);
    box->setEnabled(recorded[c]);
    box->setChecked(recorded[c] && (proposal.channels[c] || !any));
    filter_channel[static_cast<size_t>(c - 1)] = box;
    channels->addWidget(box);
  }

  form_->addRow(filter_kind->accessibleName(), filter_kind);
  form_->addRow(filter_order->accessibleName(), filter_order);
  for (QLineEdit* box : {filter_corner, filter_low, filter_high}) form_->addRow(box->accessibleName(), box);
  form_->addRow(filter_centre->accessibleName(), filter_centre);
  form_->addRow(filter_width->accessibleName(), filter_width);
  form_->addRow("Channels", channels);

  filter_message = named(new QLabel, "filter_message", QString());
  filter_message->setWordWrap(true);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  filter_ok = named(buttons->button(QDialogButtonBox::Ok), "filter_ok", "OK");
  filter_cancel = named(buttons->button(QDialogButtonBox::Cancel), "filter_cancel", "Cancel");
  connect(buttons, &QDialogButtonBox::accepted, this, &FilterDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &FilterDialog::reject);
  connect(filter_kind, &QComboBox::currentIndexChanged, this, [this] { show_kind_rows(); });

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form_);
  layout->addWidget(filter_message);
  layout->addWidget(buttons);
  show_kind_rows();
}

FilterSettings FilterDialog::settings() const {
  FilterSettings f;
  f.kind = kKinds[static_cast<size_t>(std::max(0, filter_kind->currentIndex()))];
  f.order = filter_order->value();
  f.corner_hz = frequency_from_text(filter_corner->text());
  f.low_hz = frequency_from_text(filter_low->text());
  f.high_hz = frequency_from_text(filter_high->text());
  f.centre_hz = frequency_from_text(filter_centre->currentText());
  f.width_hz = frequency_from_text(filter_width->text());
  for (int c = 1; c <= 3; ++c) f.channels[c] = filter_channel[static_cast<size_t>(c - 1)]->isChecked();
  return f;
}

void FilterDialog::accept() {
  const QString refusal = filter_refusal(settings(), rate_hz_);
  filter_message->setText(refusal);
  filter_message->setAccessibleName(refusal);
  if (refusal.isEmpty()) QDialog::accept();
}

void FilterDialog::show_kind_rows() {
  const FilterKind kind = settings().kind;
  const bool corner = kind == FilterKind::LowPass || kind == FilterKind::HighPass;
  form_->setRowVisible(filter_corner, corner);
  form_->setRowVisible(filter_low, kind == FilterKind::BandPass);
  form_->setRowVisible(filter_high, kind == FilterKind::BandPass);
  form_->setRowVisible(filter_centre, kind == FilterKind::Notch);
  form_->setRowVisible(filter_width, kind == FilterKind::Notch);
  adjustSize();
}

}  // namespace quarvel
