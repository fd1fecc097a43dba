#include "download/decimal_text.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

constexpr int64_t kMax64 = std::numeric_limits<int64_t>::max();
constexpr int64_t kMin64 = std::numeric_limits<int64_t>::min();

TEST(DecimalText, SixtyFourBitEdges) {
  EXPECT_EQ(parseDecimal64("9223372036854775807"), kMax64);
  EXPECT_EQ(parseDecimal64("9223372036854775806"), kMax64 - 1);
  EXPECT_EQ(parseDecimal64("9223372036854775808"), kMax64);
  EXPECT_EQ(parseDecimal64("92233720368547758070"), kMax64);
  EXPECT_EQ(parseDecimal64("-9223372036854775808"), kMin64);
  EXPECT_EQ(parseDecimal64("-9223372036854775807"), kMin64 + 1);
  EXPECT_EQ(parseDecimal64("-9223372036854775809"), kMin64);
  EXPECT_EQ(parseDecimal64("-99999999999999999999999999"), kMin64);
  // Digits after the clamp point are read over, not left to change the value.
  EXPECT_EQ(parseDecimal64("18446744073709551616"), kMax64);
}

TEST(DecimalText, LeadingSpaceSignAndStop) {
  EXPECT_EQ(parseDecimal64(" \t\n\v\f\r12"), 12);
  EXPECT_EQ(parseDecimal64("+0"), 0);
  EXPECT_EQ(parseDecimal64("-0"), 0);
  EXPECT_EQ(parseDecimal64("007"), 7);
  EXPECT_EQ(parseDecimal64("12 34"), 12);
  EXPECT_EQ(parseDecimal64("--1"), 0);
  EXPECT_EQ(parseDecimal64("+-1"), 0);
  EXPECT_EQ(parseDecimal64("x1"), 0);
  EXPECT_EQ(parseDecimal64(""), 0);
  EXPECT_EQ(parseDecimal64("-"), 0);
}

TEST(DecimalText, ThirtyTwoBitClamp) {
  EXPECT_EQ(parseDecimal32("2147483647"), 2147483647);
  EXPECT_EQ(parseDecimal32("2147483648"), 2147483647);
  EXPECT_EQ(parseDecimal32("-2147483648"), -2147483647 - 1);
  EXPECT_EQ(parseDecimal32("-2147483649"), -2147483647 - 1);
  EXPECT_EQ(parseDecimal32("4294967296"), 2147483647);  // not wrapped to 0
  EXPECT_EQ(parseDecimal32("-9223372036854775809"), -2147483647 - 1);
}

}  // namespace
