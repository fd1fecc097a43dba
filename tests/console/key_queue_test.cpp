#include <gtest/gtest.h>

#include "console/key_queue.h"

namespace {

TEST(ConsoleKeyQueue, Holds255KeysAndDropsTheNext) {
  KeyQueue q;
  for (int i = 1; i <= 255; ++i) ASSERT_TRUE(q.push(static_cast<std::uint8_t>(i))) << i;
  EXPECT_TRUE(q.full());
  EXPECT_FALSE(q.push(7));
  for (int i = 1; i <= 255; ++i) ASSERT_EQ(q.pop(), i);
  EXPECT_TRUE(q.empty());
  EXPECT_EQ(q.pop(), 0);
}

TEST(ConsoleKeyQueue, KeepsItsOrderAcrossTheEndOfTheRing) {
  KeyQueue q;
  for (int round = 0; round < 600; ++round) {
    ASSERT_TRUE(q.push(static_cast<std::uint8_t>(round % 200 + 1)));
    ASSERT_TRUE(q.push(static_cast<std::uint8_t>(round % 100 + 1)));
    ASSERT_EQ(q.pop(), round % 200 + 1);
    ASSERT_EQ(q.pop(), round % 100 + 1);
  }
  EXPECT_TRUE(q.empty());
}

}  // namespace
