#include "acquisition/source_choice.h"

namespace quarvel {

QStringList source_captions() {
  return {QStringLiteral("Generator"), QStringLiteral("Serial lines"), QStringLiteral("Firmata board")};
}

SourceKind source_of(int entry) {
  return entry >= 0 && entry < kSourceKinds ? static_cast<SourceKind>(entry) : SourceKind::Generator;
}

bool is_device(SourceKind k) {
  return k != SourceKind::Generator;
}

DeviceKind device_kind(SourceKind k) {
  return k == SourceKind::Firmata ? DeviceKind::Firmata : DeviceKind::SerialLines;
}

QStringList baud_choices() {
  return {"9600", "19200", "38400", "57600", "115200", "230400", "250000", "500000", "1000000", "2000000"};
}

int32_t default_baud(SourceKind k) {
  return k == SourceKind::Firmata ? kDefaultFirmataBaud : kDefaultLinesBaud;
}

std::optional<int32_t> baud_from_text(const QString& text) {
  bool ok = false;
  // Digits only: "115200.5" or "1e6" is no baud rate a port is set to.
  const QString t = text.trimmed();
  for (const QChar c : t)
    if (c < QLatin1Char('0') || c > QLatin1Char('9')) return std::nullopt;
  const int32_t v = t.toInt(&ok);
  if (!ok) return std::nullopt;
  return v;
}

QString source_line(SourceKind k, const QString& port, int32_t baud) {
  if (!is_device(k)) return QStringLiteral("Generator");
  return QStringLiteral("%1 on %2 at %3 baud")
      .arg(source_captions()[static_cast<int>(k)], port.isEmpty() ? QStringLiteral("(no port)") : port)
      .arg(baud);
}

QString running_source_line(SourceKind k, const QString& port, int32_t baud, float declared_hz,
                            const DeviceStatus& st) {
  QString line = source_line(k, port, baud);
  if (!st.about.isEmpty()) line += QStringLiteral(" (%1)").arg(st.about);
  if (st.state == DeviceState::Starting) {
    line += QStringLiteral(": waiting for the board");
  } else if (st.arriving_hz > 0) {
    line += QStringLiteral(": %1 frames/s arriving, %2 Hz declared")
                .arg(QString::number(st.arriving_hz, 'f', 1), QString::number(declared_hz, 'g', 6));
  } else {
    line += QStringLiteral(": %1 frames").arg(st.counts.frames);
  }
  if (const QString faults = fault_summary(st.counts); !faults.isEmpty())
    line += QStringLiteral(". Counted: %1").arg(faults);
  if (!st.warnings.isEmpty()) line += QStringLiteral(". ") + st.warnings;
  return line;
}

}  // namespace quarvel
