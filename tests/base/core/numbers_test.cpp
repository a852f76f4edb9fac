// Guards the number helpers every label, grid cell, caption and file field is written with:
// rounding ties to even, the lenient number reading, and the picture-pattern formatting.
#include <gtest/gtest.h>

#include "core/numbers.h"

using namespace quarvel;

TEST(RoundEven, TiesGoToTheEvenInteger) {
  EXPECT_EQ(round_even(2.5), 2);
  EXPECT_EQ(round_even(3.5), 4);
  EXPECT_EQ(round_even(-2.5), -2);
  EXPECT_EQ(round_even(0.5), 0);
  EXPECT_EQ(round_even(1.5), 2);
  EXPECT_EQ(round_even(2.6), 3);
  EXPECT_EQ(round_even(-2.6), -3);
}

TEST(RoundEven, IntegerConversionsSaturateInsteadOfWrapping) {
  EXPECT_EQ(round_i16(40000.0), 32767);
  EXPECT_EQ(round_i16(-40000.0), -32768);
  EXPECT_EQ(round_i16(-32768.4), -32768);
  EXPECT_EQ(round_i32(1e12), 2147483647);
  EXPECT_EQ(round_i32(100000.5), 100000);
  EXPECT_EQ(trunc_toward_zero(-2.7), -2);
  EXPECT_EQ(trunc_toward_zero(2.7), 2);
}

TEST(Num, ReadsTheNumberAtTheStartOfTheText) {
  EXPECT_DOUBLE_EQ(num("12abc"), 12);
  EXPECT_DOUBLE_EQ(num(" 0"), 0);
  EXPECT_DOUBLE_EQ(num("abc"), 0);
  EXPECT_DOUBLE_EQ(num(""), 0);
  EXPECT_DOUBLE_EQ(num("-3.5e2x"), -350);
  EXPECT_DOUBLE_EQ(num("1e"), 1);
  EXPECT_DOUBLE_EQ(num(".5"), 0.5);
  EXPECT_DOUBLE_EQ(num("  +7.25 ms"), 7.25);
  EXPECT_DOUBLE_EQ(num("-"), 0);
  EXPECT_DOUBLE_EQ(num("1.5.3"), 1.5);
}

struct FormatCase {
  double value;
  const char* pattern;
  const char* expected;
};

class FormatPatterns : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatPatterns, WritesTheValueWithThePattern) {
  const FormatCase& c = GetParam();
  EXPECT_EQ(format(c.value, c.pattern).toStdString(), c.expected)
      << c.value << " with \"" << c.pattern << "\"";
}

INSTANTIATE_TEST_SUITE_P(
    EveryPatternInUse, FormatPatterns,
    ::testing::Values(
        FormatCase{0, " ###0", " 0"}, FormatCase{12, " ###0", " 12"}, FormatCase{3, " ##0", " 3"},
        FormatCase{1234, "###0", "1234"}, FormatCase{12345, "###0", "12345"}, FormatCase{3, "###0/", "3/"},
        FormatCase{500, "#####.#", "500."}, FormatCase{1.5, "#####.#", "1.5"},
        FormatCase{1.001, "#####.#", "1."}, FormatCase{12.5, "####.#", "12.5"}, FormatCase{8, "####", "8"},
        FormatCase{0, "##0.0#", "0.0"}, FormatCase{2, "##0.0#", "2.0"}, FormatCase{1.25, "##0.0#", "1.25"},
        FormatCase{1.255, "##0.0#", "1.26"}, FormatCase{-12.3, "###0.0#", "-12.3"},
        FormatCase{3, "###0.00", "3.00"}, FormatCase{1.414213, "###0.00", "1.41"},
        FormatCase{-0.5, "###0.00", "-0.50"}, FormatCase{1.5, "##0.00", "1.50"},
        FormatCase{0.2, "0.0", "0.2"}, FormatCase{-0.1, "0.0", "-0.1"}, FormatCase{7, "0#", "07"},
        FormatCase{10, "0#", "10"}, FormatCase{100, "0#", "100"}, FormatCase{5, "###", "5"},
        FormatCase{0, "###", ""}, FormatCase{50, "#### ms", "50 ms"}, FormatCase{0, "#### ms", " ms"},
        FormatCase{12.345, "####0.0#", "12.35"}, FormatCase{-3.2, "####0.0#", "-3.2"}));

TEST(Format, RoundsTheLastShownDigit) {
  EXPECT_EQ(format(0.125, "0.00"), "0.13");
  EXPECT_EQ(format(2.5, "0"), "3");
  EXPECT_EQ(format(9.996, "0.00"), "10.00");
  EXPECT_EQ(format(99.96, "##0.0#"), "99.96");
  EXPECT_EQ(format(999.999, "###0.0#"), "1000.0");
  EXPECT_EQ(format(0.04, "#####.#"), ".");
}

TEST(Format, NoMinusSignWhenTheShownValueIsZero) {
  EXPECT_EQ(format(-0.001, "0.00"), "0.00");
  EXPECT_EQ(format(-0.4, "###0"), "0");
}

TEST(Format, FloatValuesKeepTheirShortDecimalForm) {
  EXPECT_EQ(format(12.3f, "###0.0#"), "12.3");
  EXPECT_EQ(format(0.1f, "0.0"), "0.1");
  EXPECT_EQ(format(100000.0f * 0.1f, "##0.0#"), "10000.0");
}

TEST(FormatGeneral, ShortestDecimalFormOfSinglePrecision) {
  EXPECT_EQ(format_general(0.1f), "0.1");
  EXPECT_EQ(format_general(10.0f), "10");
  EXPECT_EQ(format_general(-0.5f), "-0.5");
  EXPECT_EQ(format_general(123.456f), "123.456");
  EXPECT_EQ(format_general(1234567.0f), "1234567");
  EXPECT_EQ(format_general(1e7f), "1E+07");
  EXPECT_EQ(format_general(0.0f), "0");
  EXPECT_EQ(format_general_double(0.25), "0.25");
}

TEST(StrNumber, LeadingBlankInPlaceOfThePlusSign) {
  EXPECT_EQ(str_number(1000), " 1000");
  EXPECT_EQ(str_number(0), " 0");
  EXPECT_EQ(str_number(-500), "-500");
  EXPECT_EQ(str_number(-1500), "-1500");
}
