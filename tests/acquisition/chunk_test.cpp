// Guards the recording buffer: chunks hold whole frames only and never take a word past their end.
#include <gtest/gtest.h>

#include "acquisition/chunk.h"

using namespace quarvel;

TEST(ChunkWords, WholeFramesOfTheRecordingLength) {
  EXPECT_EQ(chunk_words(1, 180, 0.1f), 3600);  // 1800 frames of 2 words
  EXPECT_EQ(chunk_words(3, 3600, 0.001f), 14400000);
  EXPECT_EQ(chunk_words(2, 1, 0.3f), 9) << "3.33 frames of 3 words: 3 whole frames";
  EXPECT_EQ(chunk_words(1, 0.01f, 0.1f), 2) << "never less than one frame";
  EXPECT_EQ(chunk_words(1, 5, 0), 2);
}

TEST(Chunk, FillsAtTheEndOfAFrameAndRefusesMore) {
  Chunk c;
  c.allocate(7, 3);  // rounded down to 6 words
  EXPECT_EQ(c.size(), 6);
  for (int16_t i = 1; i <= 6; ++i) {
    EXPECT_FALSE(c.full());
    EXPECT_TRUE(c.store(i));
  }
  EXPECT_TRUE(c.full());
  EXPECT_FALSE(c.store(99));
  EXPECT_EQ(c.used(), 6);
  EXPECT_EQ(c.data()[5], 6);
  c.allocate(6, 3);
  EXPECT_EQ(c.pos(), 1);
  EXPECT_EQ(c.left(), 6);
}
