#include "ui/progress_rows.h"

#include <gtest/gtest.h>

#include <string>

namespace {
int key1, key2;

TEST(ProgressRows, NewRowsAreEmptyAndSetRowDefinesThem) {
  ProgressRows rows;
  EXPECT_EQ(rows.count(), 0);
  rows.setCount(3);
  ASSERT_EQ(rows.count(), 3);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(rows.state(i), 0);
    EXPECT_STREQ(rows.current()->rows[i].name, "");
  }
  rows.set(1, "data\\a.bin", "C:\\tmp\\a.bin", 1024, &key1);
  const ProgressRow& row = rows.current()->rows[1];
  EXPECT_STREQ(row.name, "data\\a.bin");
  EXPECT_STREQ(row.path, "C:\\tmp\\a.bin");
  EXPECT_EQ(row.maximum.load(), 1024);
  EXPECT_EQ(row.value.load(), 0);
  EXPECT_EQ(rows.state(1), 1);
  EXPECT_EQ(rows.find(&key1), 1);
  EXPECT_EQ(rows.find(&key2), -1);
}

TEST(ProgressRows, IndexesOutsideTheRowsAreIgnored) {
  ProgressRows rows;
  rows.setCount(2);
  for (int bad : {-1, 2, 1000, INT32_MIN}) {
    rows.set(bad, "x", "y", 10, &key1);
    rows.setValue(bad, 5);
    rows.setState(bad, 6);
    EXPECT_EQ(rows.state(bad), 0) << bad;
  }
  EXPECT_EQ(rows.find(&key1), -1);
  EXPECT_EQ(rows.state(0), 0);
  EXPECT_EQ(rows.state(1), 0);
}

TEST(ProgressRows, ValueIsClampedToTheRowAndStateSixFillsIt) {
  ProgressRows rows;
  rows.setCount(2);
  rows.set(0, "a", "b", 1024, &key1);
  rows.setValue(0, 512);
  EXPECT_EQ(rows.current()->rows[0].value.load(), 512);
  rows.setValue(0, 5000);
  EXPECT_EQ(rows.current()->rows[0].value.load(), 1024);
  rows.setValue(0, -7);
  EXPECT_EQ(rows.current()->rows[0].value.load(), 0);

  rows.set(1, "c", "d", 300, &key2);
  rows.setState(1, 6);
  EXPECT_EQ(rows.state(1), 6);
  EXPECT_EQ(rows.current()->rows[1].value.load(), 300);
  rows.setState(0, 3);  // other states leave the value alone
  EXPECT_EQ(rows.current()->rows[0].value.load(), 0);
}

TEST(ProgressRows, FindReturnsTheFirstRowWithTheKey) {
  ProgressRows rows;
  rows.setCount(3);
  rows.set(2, "a", "b", 1, &key1);
  rows.set(1, "c", "d", 1, &key1);
  EXPECT_EQ(rows.find(&key1), 1);
  EXPECT_EQ(rows.find(nullptr), 0);  // row 0 was never defined: its key is null
}

TEST(ProgressRows, LongTextsAreCutTo255Bytes) {
  ProgressRows rows;
  rows.setCount(1);
  std::string longName(400, 'n'), longPath(256, 'p');
  rows.set(0, longName.c_str(), longPath.c_str(), 1, nullptr);
  EXPECT_EQ(std::string(rows.current()->rows[0].name), std::string(255, 'n'));
  EXPECT_EQ(std::string(rows.current()->rows[0].path), std::string(255, 'p'));
  rows.set(0, nullptr, "", 1, nullptr);
  EXPECT_STREQ(rows.current()->rows[0].name, "");
}

TEST(ProgressRows, ReplacedRowsStayReadableForAPaintInProgress) {
  ProgressRows rows;
  rows.setCount(4);
  rows.set(3, "old", "row", 10, &key1);
  const ProgressRowSet* before = rows.current();
  rows.setCount(1);
  EXPECT_EQ(rows.count(), 1);
  EXPECT_EQ(rows.state(3), 0);  // beyond the new count
  EXPECT_EQ(before->count, 4);  // the old snapshot keeps its own count and rows
  EXPECT_STREQ(before->rows[3].name, "old");
  rows.setCount(-5);
  EXPECT_EQ(rows.count(), 0);
}
}  // namespace
