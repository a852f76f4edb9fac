// Guards what typed numbers are taken as: the refusals that keep every size within what the
// program can hold (single-precision underflow and overflow included), and the texts a refused
// box is given back.
#include <gtest/gtest.h>

#include "core/typed_values.h"

using namespace quarvel;

TEST(TypedValues, RatesAndIntervals) {
  EXPECT_EQ(rate_from_text("200"), 200.0f);
  EXPECT_EQ(rate_from_text(" 12.5 Hz"), 12.5f);
  for (const char* no : {"0", "-1", "1000.5", "abc", "", "1e-300", "1e39"})
    EXPECT_FALSE(rate_from_text(no).has_value()) << no;

  EXPECT_EQ(interval_from_text("2000", 0.5), 0.002f);
  EXPECT_EQ(interval_from_text("30", 0.5), 30e-6f);
  for (const char* no : {"29.9", "0", "-50", "x", "1e30"})
    EXPECT_FALSE(interval_from_text(no, 0.5).has_value()) << no;
  EXPECT_FALSE(interval_from_text("30", 1000).has_value()) << "a block of 33 million samples";
  EXPECT_EQ(interval_text(0.002f), "2000");
  EXPECT_EQ(interval_text(33.5e-6f), "33.5");
}

TEST(TypedValues, LengthsStayWithinWhatThePictureAndTheFileCanHold) {
  EXPECT_EQ(screen_length_from_text("12.5", 1, 0.1f), 12.5f);
  for (const char* no : {"0", "-3", "x", "1e-300", "1e39"})
    EXPECT_FALSE(screen_length_from_text(no, 1, 0.1f).has_value()) << no;

  EXPECT_EQ(file_length_from_text("60", 10).seconds, 60.0f);
  const FileLengthReading huge = file_length_from_text("1e308", 10);
  EXPECT_FALSE(huge.seconds.has_value());
  EXPECT_TRUE(huge.too_long);
  EXPECT_TRUE(file_length_from_text("3e6", 1000).too_long) << "3 billion frames";
  EXPECT_EQ(file_length_from_text("2e6", 1000).seconds, 2e6f);
  for (const char* no : {"0", "-5", "1e-300", "abc"}) {
    EXPECT_FALSE(file_length_from_text(no, 10).seconds.has_value()) << no;
    EXPECT_FALSE(file_length_from_text(no, 10).too_long) << no;
  }
  EXPECT_EQ(longest_file_length(1000), 2147483.0);
}

TEST(TypedValues, BlockLengthAnswersAndDisplacements) {
  EXPECT_EQ(block_samples_for_answer("500", 0.001f), 500);
  EXPECT_EQ(block_samples_for_answer("1500", 0.001f), 1500) << "above 1000 the answer is still in ms";
  EXPECT_EQ(block_samples_for_answer("0", 0.001f), 0);
  EXPECT_EQ(block_samples_for_answer("-20", 0.001f), 0);
  EXPECT_EQ(block_samples_for_answer("abc", 0.001f), 0);
  EXPECT_EQ(block_samples_for_answer("40", 0.1f), 0) << "less than half a sample";
  EXPECT_EQ(block_samples_for_answer("60", 0.1f), 1);
  EXPECT_GT(block_samples_for_answer("2000000000", 0.001f), kMaxBlockLength) << "counted, not cut short";

  EXPECT_EQ(displacement_from_text(" 12.5"), 12.5f);
  EXPECT_EQ(displacement_from_text("-.5"), -0.5f);
  for (const char* no : {"", "abc", "-", "1e39"}) EXPECT_FALSE(displacement_from_text(no).has_value()) << no;
  EXPECT_EQ(stimulus_setting("70000"), 32767);
  EXPECT_EQ(stimulus_setting("2.5"), 2);
}
