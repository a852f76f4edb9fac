// Number helpers used throughout the program: rounding, lenient text-to-number conversion and
// picture-pattern formatting of numbers for labels, grids and captions.
#pragma once

#include <QString>
#include <cstdint>

namespace quarvel {

// Nearest integer, ties to the even one (2.5 -> 2, 3.5 -> 4, -2.5 -> -2), as a double.
double round_even(double x);

// Nearest integer with ties to even, saturated to the range of the target type.
int16_t round_i16(double x);
int32_t round_i32(double x);

// The shortest decimal that reads back as v, as a double: 0.001f gives 0.001, not the
// 0.0010000000475 the float holds. Sampling intervals are kept in single precision but meant as
// the decimals they were written from; times of samples far into a long recording are computed
// from those, so a day at 1 kHz ends at 86399.999 s and not 4 ms later.
double decimal_of(float v);

// Integer part toward zero.
double trunc_toward_zero(double x);

// The number at the start of a text (leading blanks skipped, optional sign, digits, a decimal
// point and an exponent); 0 when the text does not start with a number.
double num(const QString& text);

// Formats v with a picture pattern: "0" is a digit always shown, "#" a digit shown only when
// significant, "." the decimal point, every other character is copied. The last shown digit is
// rounded (halves away from zero). An empty pattern gives the general form (format_general).
QString format(double v, const QString& pattern);

// Shortest decimal text of a single-precision value: at most 7 significant digits, no leading
// blank, exponent form ("1E+07") only for very large or small magnitudes.
QString format_general(float v);

// The same for a double-precision value, with at most 15 significant digits.
QString format_general_double(double v);

// Plain decimal form with a leading blank in place of the sign for values >= 0 (" 500", "-500").
QString str_number(float v);

}  // namespace quarvel
