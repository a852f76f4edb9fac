#include "acquisition/serial_lines.h"

#include <charconv>
#include <cmath>
#include <optional>
#include <system_error>

#include "core/numbers.h"

namespace quarvel {

namespace {

bool is_separator(char c) {
  return c == ' ' || c == ',' || c == '\t';
}

bool is_digit(char c) {
  return c >= '0' && c <= '9';
}

// from_chars gives the same error for a value too large for a double and one too small; the
// digits tell which. True when the leading significant digit times the exponent lies at 10^0 or
// above, that is when the value is huge rather than tiny.
bool beyond_double_is_huge(std::string_view t) {
  size_t i = 0;
  while (i < t.size() && t[i] == '0') ++i;
  int64_t lead = 0;  // the power of ten of the first significant digit, before the exponent
  size_t int_digits = 0;
  while (i < t.size() && is_digit(t[i])) ++int_digits, ++i;
  if (int_digits > 0) {
    lead = static_cast<int64_t>(int_digits) - 1;
  } else if (i < t.size() && t[i] == '.') {
    ++i;
    int64_t zeros = 0;
    while (i < t.size() && t[i] == '0') ++zeros, ++i;
    lead = -zeros - 1;
  }
  while (i < t.size() && t[i] != 'e' && t[i] != 'E') ++i;
  if (i == t.size()) return lead >= 0;
  ++i;
  const bool negative = i < t.size() && t[i] == '-';
  if (i < t.size() && (t[i] == '-' || t[i] == '+')) ++i;
  int64_t exponent = 0;
  const auto r = std::from_chars(t.data() + i, t.data() + t.size(), exponent);
  if (r.ec == std::errc::result_out_of_range) return !negative;  // an exponent past 10^18 decides alone
  return lead + (negative ? -exponent : exponent) >= 0;
}

// A number field: [+|-] digits with an optional decimal point and exponent, nothing else.
std::optional<double> number_of(std::string_view t) {
  bool negative = false;
  if (!t.empty() && (t[0] == '+' || t[0] == '-')) {
    negative = t[0] == '-';
    t.remove_prefix(1);
  }
  // from_chars would also take "inf", "nan" and a second sign; a number starts with a digit or a
  // point.
  if (t.empty() || !(is_digit(t[0]) || t[0] == '.')) return std::nullopt;
  double v = 0;
  const auto r = std::from_chars(t.data(), t.data() + t.size(), v, std::chars_format::general);
  if (r.ptr != t.data() + t.size()) return std::nullopt;
  if (r.ec == std::errc::result_out_of_range)
    v = beyond_double_is_huge(t) ? HUGE_VAL : 0.0;
  else if (r.ec != std::errc())
    return std::nullopt;
  return negative ? -v : v;
}

// The value of a field, either a number or label:number.
std::optional<double> field_value(std::string_view field) {
  const size_t colon = field.rfind(':');
  if (colon != std::string_view::npos) field.remove_prefix(colon + 1);
  return number_of(field);
}

}  // namespace

ParsedLine parse_plotter_line(std::string_view line, InputSet inputs) {
  ParsedLine out;
  int fields = 0;
  size_t i = 0;
  while (true) {
    while (i < line.size() && is_separator(line[i])) ++i;
    if (i == line.size()) break;
    size_t end = i;
    while (end < line.size() && !is_separator(line[end])) ++end;
    const std::optional<double> v = field_value(line.substr(i, end - i));
    if (!v) return ParsedLine{LineVerdict::Garbled, {}, 0};
    ++fields;
    if (fields <= 4 && inputs.has(fields)) {
      const double r = round_even(*v);
      if (r > 32767 || r < -32768) ++out.clamped;
      out.frame.value[static_cast<size_t>(fields - 1)] = round_i16(r);
    }
    i = end;
  }
  if (fields < inputs.highest() || inputs.empty()) return ParsedLine{LineVerdict::TooFew, {}, 0};
  out.verdict = LineVerdict::Frame;
  return out;
}

void PlotterLineReader::add_byte(char c) {
  ++line_length_;
  last_byte_ = c;
  // One byte beyond the limit may be the CR of a CR LF.
  if (line_length_ <= kLongestLine + 1) {
    line_.push_back(c);
  } else if (line_length_ == kLongestLine + 2) {
    ++counts_.too_long;
    line_.clear();
  }
}

void PlotterLineReader::end_line(std::vector<Frame>& frames) {
  const int64_t length = line_length_ - (last_byte_ == '\r' ? 1 : 0);
  // A line that grew past the limit plus a CR was counted as it did.
  const bool counted_already = line_length_ > kLongestLine + 1;
  if (synced_) {
    ++lines_;
    line_bytes_ += line_length_ + 1;
  }
  if (!counted_already && length > kLongestLine) {
    ++counts_.too_long;
  } else if (!counted_already && synced_) {
    const ParsedLine p =
        parse_plotter_line(std::string_view(line_).substr(0, static_cast<size_t>(length)), inputs_);
    switch (p.verdict) {
      case LineVerdict::Frame:
        ++counts_.frames;
        counts_.clamped_values += p.clamped;
        frames.push_back(p.frame);
        break;
      case LineVerdict::Garbled:
        ++counts_.garbled;
        break;
      case LineVerdict::TooFew:
        ++counts_.too_few;
        break;
    }
  }
  synced_ = true;
  line_.clear();
  line_length_ = 0;
  last_byte_ = 0;
}

void PlotterLineReader::feed(std::span<const uint8_t> bytes, std::vector<Frame>& frames) {
  for (const uint8_t b : bytes) {
    if (b == '\n') {
      end_line(frames);
    } else {
      add_byte(static_cast<char>(b));
    }
  }
}

void PlotterLineReader::finish() {
  if (synced_ && line_length_ > 0 && line_length_ <= kLongestLine + 1) ++counts_.cut_short;
  line_.clear();
  line_length_ = 0;
  last_byte_ = 0;
}

}  // namespace quarvel
