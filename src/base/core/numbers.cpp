#include "core/numbers.h"

#include <cfenv>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>

namespace quarvel {

double round_even(double x) {
  // nearbyint honours the current rounding mode; the program never changes it from
  // round-to-nearest-even, but be explicit about what is meant.
  const int old = std::fegetround();
  if (old != FE_TONEAREST) std::fesetround(FE_TONEAREST);
  const double r = std::nearbyint(x);
  if (old != FE_TONEAREST) std::fesetround(old);
  return r;
}

template <typename T>
static T saturate(double r) {
  if (std::isnan(r)) return 0;
  if (r <= static_cast<double>(std::numeric_limits<T>::min())) return std::numeric_limits<T>::min();
  if (r >= static_cast<double>(std::numeric_limits<T>::max())) return std::numeric_limits<T>::max();
  return static_cast<T>(r);
}

int16_t round_i16(double x) {
  return saturate<int16_t>(round_even(x));
}
int32_t round_i32(double x) {
  return saturate<int32_t>(round_even(x));
}

double decimal_of(float v) {
  if (!std::isfinite(v)) return v;
  char text[32];
  const std::to_chars_result r = std::to_chars(text, text + sizeof text, v);
  double d = 0;
  std::from_chars(text, r.ptr, d);
  return d;
}

double trunc_toward_zero(double x) {
  return std::trunc(x);
}

double num(const QString& text) {
  const QByteArray bytes = text.toLatin1();
  const char* p = bytes.constData();
  while (*p == ' ' || *p == '\t') ++p;
  std::string s;
  if (*p == '+' || *p == '-') s += *p++;
  bool digits = false;
  while (*p >= '0' && *p <= '9') {
    s += *p++;
    digits = true;
  }
  if (*p == '.') {
    s += *p++;
    while (*p >= '0' && *p <= '9') {
      s += *p++;
      digits = true;
    }
  }
  if (!digits) return 0.0;
  if (*p == 'e' || *p == 'E' || *p == 'd' || *p == 'D') {
    const char* q = p + 1;
    std::string e = "e";
    if (*q == '+' || *q == '-') e += *q++;
    bool exp_digits = false;
    while (*q >= '0' && *q <= '9') {
      e += *q++;
      exp_digits = true;
    }
    if (exp_digits) s += e;
  }
  // The program's own reading of a number: the decimal point is "." whatever the desktop's locale.
  double v = 0;
  const std::from_chars_result r = std::from_chars(s.data() + (s[0] == '+' ? 1 : 0), s.data() + s.size(), v);
  if (r.ec == std::errc::result_out_of_range) return 0.0;
  return std::isfinite(v) ? v : 0.0;
}

namespace {

// The decimal digits of |v| rounded (half away from zero) to `decimals` places, split into the
// integer digits (no leading zeros, possibly empty) and exactly `decimals` fraction digits.
// Works on a 15-significant-digit decimal form so binary noise (1.005 stored as 1.00499...)
// does not decide the rounding.
struct DecimalDigits {
  std::string int_digits;
  std::string frac_digits;
};

DecimalDigits decimal_digits(double v, int decimals) {
  v = std::fabs(v);
  char buf[64];
  // d.dddddddddddddde[+-]xx, with "." whatever the locale
  *std::to_chars(buf, buf + sizeof buf - 1, v, std::chars_format::scientific, 14).ptr = '\0';
  std::string mant;
  mant += buf[0];
  int i = 2;
  while (buf[i] != 'e') mant += buf[i++];
  const int exp10 = std::atoi(buf + i + 1);
  // value = 0.mant * 10^(exp10 + 1); digit k of mant (0-based) has weight 10^(exp10 - k)
  const int point = exp10 + 1;  // number of integer digits in mant (may be <= 0 or > size)
  // Integer digits followed by fraction digits, to 'decimals'. Built by appending in place: GCC 12
  // sees a false overlap (-Wrestrict) in operator+ of temporary strings once it is inlined.
  std::string all;
  if (point <= 0) {
    all.reserve(1 + static_cast<std::size_t>(-point) + mant.size());
    all.push_back('0');  // "0" then the fraction
    all.append(static_cast<std::size_t>(-point), '0');
    all.append(mant);
  } else {
    all = mant;
    if (point > static_cast<int>(mant.size())) all.append(static_cast<std::size_t>(point) - mant.size(), '0');
  }
  const int int_len = point <= 0 ? 1 : point;
  // pad the fraction so it has at least decimals + 1 digits
  const int need = int_len + decimals + 1;
  if (static_cast<int>(all.size()) < need) all += std::string(need - all.size(), '0');
  const bool round_up = all[int_len + decimals] >= '5';
  std::string kept = all.substr(0, int_len + decimals);
  if (round_up) {
    int k = static_cast<int>(kept.size()) - 1;
    while (k >= 0 && kept[k] == '9') kept[k--] = '0';
    if (k >= 0) {
      ++kept[k];
    } else {
      kept.insert(kept.begin(), '1');
    }
  }
  const int new_int_len = static_cast<int>(kept.size()) - decimals;
  DecimalDigits d;
  d.int_digits = kept.substr(0, new_int_len);
  d.frac_digits = kept.substr(new_int_len);
  const auto nz = d.int_digits.find_first_not_of('0');
  d.int_digits = nz == std::string::npos ? std::string() : d.int_digits.substr(nz);
  return d;
}

bool is_placeholder(QChar c) {
  return c == '0' || c == '#';
}

}  // namespace

QString format(double v, const QString& pattern) {
  if (pattern.isEmpty()) return format_general_double(v);
  if (!std::isfinite(v)) return format_general_double(v);
  int first = -1, last = -1;
  for (int i = 0; i < pattern.size(); ++i) {
    if (is_placeholder(pattern[i])) {
      if (first < 0) first = i;
      last = i;
    }
  }
  if (first < 0) return pattern;  // no digit placeholder: the pattern is literal text
  // A decimal point directly after the last placeholder belongs to the number ("#####." is rare
  // but harmless).
  const QString prefix = pattern.left(first);
  QString body = pattern.mid(first, last - first + 1);
  QString suffix = pattern.mid(last + 1);
  if (suffix.startsWith('.') && !body.contains('.')) {
    body += '.';
    suffix.remove(0, 1);
  }
  const int point = body.indexOf('.');
  const QString int_part = point < 0 ? body : body.left(point);
  const QString frac_part = point < 0 ? QString() : body.mid(point + 1);

  int min_int = 0;
  const int first_zero = int_part.indexOf('0');
  if (first_zero >= 0) {
    for (int i = first_zero; i < int_part.size(); ++i)
      if (is_placeholder(int_part[i])) ++min_int;
  }
  int max_dec = 0, min_dec = 0;
  for (int i = 0; i < frac_part.size(); ++i) {
    if (!is_placeholder(frac_part[i])) continue;
    ++max_dec;
    if (frac_part[i] == '0') min_dec = max_dec;
  }

  DecimalDigits d = decimal_digits(v, max_dec);
  std::string ints = d.int_digits;
  if (static_cast<int>(ints.size()) < min_int) ints.insert(0, min_int - ints.size(), '0');
  std::string frac = d.frac_digits;
  while (static_cast<int>(frac.size()) > min_dec && frac.back() == '0') frac.pop_back();

  const bool is_zero = d.int_digits.empty() && d.frac_digits.find_first_not_of('0') == std::string::npos;
  QString out = prefix;
  if (v < 0 && !is_zero) out += '-';
  out += QString::fromStdString(ints);
  if (point >= 0) {
    out += '.';
    out += QString::fromStdString(frac);
  }
  out += suffix;
  return out;
}

static QString general_with_digits(double v, int digits) {
  if (v == 0 || !std::isfinite(v)) return v == 0 ? QStringLiteral("0") : QString::number(v);
  char buf[64];
  const std::to_chars_result r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, digits);
  std::string s(buf, r.ptr);
  const auto e = s.find('e');
  if (e == std::string::npos) return QString::fromStdString(s);
  // 1e+07 -> 1E+07 (two exponent digits at least, as the usual display of such values)
  std::string mant = s.substr(0, e);
  std::string ex = s.substr(e + 1);
  const char sign = ex[0];
  std::string exd = ex.substr(1);
  while (exd.size() > 2 && exd[0] == '0') exd.erase(0, 1);
  return QString::fromStdString(mant + "E" + sign + exd);
}

QString format_general(float v) {
  return general_with_digits(static_cast<double>(v), 7);
}

QString format_general_double(double v) {
  return general_with_digits(v, 15);
}

QString str_number(float v) {
  const QString g = format_general(v);
  return v >= 0 ? QStringLiteral(" ") + g : g;
}

}  // namespace quarvel
