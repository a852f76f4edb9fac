#include "core/calibration.h"

#include <QLocale>
#include <cmath>
#include <limits>
#include <optional>

namespace quarvel {

namespace {

// A typed number: the whole text (blanks around it allowed) in the program's own notation.
struct Parsed {
  std::optional<double> value;
  QString refusal;
};

Parsed parse_number(const QString& text, const QString& what, int input) {
  const QString t = text.trimmed();
  const QString where = QStringLiteral("Input %1: the %2").arg(input).arg(what);
  bool ok = false;
  QLocale c = QLocale::c();
  c.setNumberOptions(QLocale::RejectGroupSeparator);  // "1,5" is no 15
  const double v = c.toDouble(t, &ok);
  const QString lower = t.toLower();
  const bool spelled_special = lower.contains(QLatin1String("nan")) || lower.contains(QLatin1String("inf"));
  if ((ok && !std::isfinite(v)) || spelled_special)
    return {std::nullopt, where + " must be a finite number."};
  if (!ok) {
    const QString hint =
        t.contains(QLatin1Char(',')) ? QStringLiteral(" (write a decimal point, not a comma)") : QString();
    return {std::nullopt, QStringLiteral("%1 \"%2\" is not a number%3.").arg(where, t, hint)};
  }
  if (std::fabs(v) > std::numeric_limits<float>::max())
    return {std::nullopt, where + " is too large to be stored."};
  return {v, {}};
}

}  // namespace

QString default_input_name(int input) {
  return QStringLiteral("Input %1").arg(input);
}

Calibration default_calibration(int input) {
  Calibration c;
  c.name = default_input_name(input);
  return c;
}

bool is_default(const Calibration& c, int input) {
  return c == default_calibration(input);
}

InputCalibrations default_calibrations() {
  InputCalibrations all;
  for (int i = 1; i <= kInputCount; ++i) all[i] = default_calibration(i);
  return all;
}

CalibrationEntry entry_of(const Calibration& c) {
  CalibrationEntry e;
  e.name = c.name;
  e.unit = c.unit;
  e.gain = float_text(c.gain);
  e.offset = float_text(c.offset);
  return e;
}

QString float_text(float v) {
  for (int digits = 1; digits < 9; ++digits) {
    const QString t = QString::number(static_cast<double>(v), 'g', digits);
    if (static_cast<float>(QLocale::c().toDouble(t)) == v) return t;
  }
  return QString::number(static_cast<double>(v), 'g', 9);
}

QString text_refusal(const QString& text, int max_bytes, const QString& what) {
  for (const QChar ch : text) {
    if (ch.category() == QChar::Other_Control || ch.category() == QChar::Other_Format || ch.isSurrogate() ||
        ch == QChar::LineSeparator || ch == QChar::ParagraphSeparator)
      return QStringLiteral(
                 "%1 holds a character that cannot be stored (a tab, a line break or a control "
                 "character).")
          .arg(what);
  }
  if (text.toUtf8().size() > max_bytes)
    return QStringLiteral(
               "%1 \"%2\" is too long: at most %3 bytes in UTF-8 (%3 plain letters, fewer with "
               "accents or symbols).")
        .arg(what, text)
        .arg(max_bytes);
  return {};
}

CalibrationOutcome calibration_from_entry(const CalibrationEntry& e, int input) {
  CalibrationOutcome out;
  Calibration& c = out.calibration;
  c.name = e.name.trimmed();
  c.unit = e.unit.trimmed();
  if (c.name.isEmpty()) {
    out.refusal = QStringLiteral("Input %1 needs a name.").arg(input);
    return out;
  }
  out.refusal = text_refusal(c.name, kNameBytes, QStringLiteral("The name of input %1").arg(input));
  if (out.refusal.isEmpty())
    out.refusal = text_refusal(c.unit, kUnitBytes, QStringLiteral("The unit of input %1").arg(input));
  if (!out.ok()) return out;

  double gain = 0;
  double offset = 0;
  if (e.by_points) {
    const Parsed x1 = parse_number(e.x1, QStringLiteral("first converter value"), input);
    const Parsed y1 = parse_number(e.y1, QStringLiteral("first physical value"), input);
    const Parsed x2 = parse_number(e.x2, QStringLiteral("second converter value"), input);
    const Parsed y2 = parse_number(e.y2, QStringLiteral("second physical value"), input);
    for (const Parsed* p : {&x1, &y1, &x2, &y2}) {
      if (!p->value) {
        out.refusal = p->refusal;
        return out;
      }
    }
    if (*x1.value == *x2.value) {
      out.refusal =
          QStringLiteral("Input %1: the two points have the same converter value; they must differ.")
              .arg(input);
      return out;
    }
    gain = (*y2.value - *y1.value) / (*x2.value - *x1.value);
    offset = *y1.value - gain * *x1.value;
  } else {
    const Parsed g = parse_number(e.gain, QStringLiteral("gain"), input);
    const Parsed o = parse_number(e.offset, QStringLiteral("offset"), input);
    for (const Parsed* p : {&g, &o}) {
      if (!p->value) {
        out.refusal = p->refusal;
        return out;
      }
    }
    gain = *g.value;
    offset = *o.value;
  }
  // Stored in single precision: what is refused is what would not survive that.
  c.gain = static_cast<float>(gain);
  c.offset = static_cast<float>(offset);
  if (!std::isfinite(c.gain) || !std::isfinite(c.offset)) {
    out.refusal = QStringLiteral("Input %1: the gain or offset is too large to be stored.").arg(input);
  } else if (c.gain == 0.0f) {
    out.refusal = QStringLiteral("Input %1: the gain must not be 0.").arg(input);
  } else if (!std::isfinite(c.physical(-32768.0f)) || !std::isfinite(c.physical(32767.0f))) {
    // Every converter value must have a physical value a float holds.
    out.refusal = QStringLiteral("Input %1: the gain or offset is too large to be stored.").arg(input);
  }
  return out;
}

}  // namespace quarvel
