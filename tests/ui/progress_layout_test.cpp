#include "ui/progress_layout.h"

#include <gtest/gtest.h>

namespace {
TEST(ProgressLayout, ColumnEdgesFollowTheClientWidth) {
  ProgressColumns c = progressColumns(400);
  EXPECT_EQ(c.x0, 146);
  EXPECT_EQ(c.x1, 292);
  EXPECT_EQ(c.x2, 367);
  EXPECT_EQ(c.x3, 399);
  c = progressColumns(108);  // odd remainder rounds down
  EXPECT_EQ(c.x0, 0);
  EXPECT_EQ(c.x3, 107);
  c = progressColumns(100);  // narrower than the fixed columns: toward zero, not down
  EXPECT_EQ(c.x0, -3);
  EXPECT_EQ(c.x2, 69);
}

TEST(ProgressLayout, SlotsIncludeThePartlyVisibleLastOne) {
  EXPECT_EQ(progressLastSlot(0), 0);
  EXPECT_EQ(progressLastSlot(31), 0);
  EXPECT_EQ(progressLastSlot(32), 1);
  EXPECT_EQ(progressLastSlot(100), 3);
}

TEST(ProgressLayout, HitTestFindsTheRowUnderThePointer) {
  EXPECT_EQ(progressHitTest(0, 5, 0), 0);
  EXPECT_EQ(progressHitTest(0, 5, 31), 0);
  EXPECT_EQ(progressHitTest(0, 5, 32), 1);
  EXPECT_EQ(progressHitTest(3, 5, 40), 4);
  EXPECT_EQ(progressHitTest(3, 5, 64), -1);  // below the last row
  EXPECT_EQ(progressHitTest(0, 0, 5), -1);
  EXPECT_EQ(progressHitTest(0, 5, -1), -1);
}

TEST(ProgressLayout, FractionAndPercentText) {
  EXPECT_DOUBLE_EQ(progressFraction(512, 1024), 0.5);
  EXPECT_EQ(progressPercentText(progressFraction(512, 1024)), "50.00%");
  EXPECT_EQ(progressPercentText(progressFraction(1024, 1024)), "100.00%");
  EXPECT_EQ(progressPercentText(progressFraction(1, 3)), "33.33%");
  EXPECT_EQ(progressPercentText(progressFraction(2, 3)), "66.67%");
  // No size to measure against: an empty bar, not a division by zero.
  EXPECT_DOUBLE_EQ(progressFraction(0, 0), 0.0);
  EXPECT_DOUBLE_EQ(progressFraction(10, 0), 0.0);
  EXPECT_EQ(progressPercentText(progressFraction(5, 0)), "0.00%");
  EXPECT_DOUBLE_EQ(progressFraction(-5, 10), 0.0);
}

TEST(ProgressLayout, FillWidthTruncatesTowardZero) {
  EXPECT_EQ(progressFillWidth(296, 363, 0.5), 33);  // 67 * 0.5 = 33.5
  EXPECT_EQ(progressFillWidth(296, 363, 1.0), 67);
  EXPECT_EQ(progressFillWidth(296, 363, 0.0), 0);
  EXPECT_EQ(progressFillWidth(0, 100, 0.999), 99);
}

TEST(ProgressLayout, ArrowsAndPagesStopAtTheFixedBottom) {
  int row = 0;
  for (int i = 0; i < 200; ++i) row = progressScrollTarget(ScrollRequest::LineDown, row, 0, 0);
  EXPECT_EQ(row, 122);
  EXPECT_EQ(progressScrollTarget(ScrollRequest::LineUp, 0, 0, 0), 0);
  EXPECT_EQ(progressScrollTarget(ScrollRequest::LineUp, 5, 0, 0), 4);
  EXPECT_EQ(progressScrollTarget(ScrollRequest::LineDown, 150, 0, 0), 150);  // past it: stays
  EXPECT_EQ(progressScrollTarget(ScrollRequest::PageDown, 10, 0, 0), 10);    // no page size
  EXPECT_EQ(progressScrollTarget(ScrollRequest::PageDown, 120, 10, 0), 122);
  EXPECT_EQ(progressScrollTarget(ScrollRequest::PageDown, 100, 10, 0), 110);
  EXPECT_EQ(progressScrollTarget(ScrollRequest::PageUp, 5, 10, 0), 0);
  EXPECT_EQ(progressScrollTarget(ScrollRequest::PageUp, 50, 10, 0), 40);
  EXPECT_EQ(progressScrollTarget(ScrollRequest::Top, 77, 0, 0), 0);
  EXPECT_EQ(progressScrollTarget(ScrollRequest::Bottom, 7, 0, 0), 122);
  EXPECT_EQ(progressScrollTarget(ScrollRequest::Track, 7, 0, 200), 200);  // the thumb goes further
  EXPECT_EQ(progressScrollTarget(ScrollRequest::Position, 7, 0, 150), 150);
  EXPECT_EQ(progressScrollTarget(ScrollRequest::Other, 7, 0, 150), 7);
}
}  // namespace
