// Sizes past 32 bits, as a file of 5 GiB brings them: the manifest's size, the
// progress row's value, bar and percentage, a partial answer's range and the record
// kept beside a partial file. A run with such a file is too slow for the tests; the
// benchmark (bench/large_file.sh) fetches one for real.
#include <gtest/gtest.h>

#include <string>

#include "download/manifest_parser.h"
#include "download/partial_record.h"
#include "net/response_head.h"
#include "ui/progress_layout.h"
#include "ui/progress_rows.h"

namespace {

const int64_t kFiveGiB = (int64_t{5} << 30) + 1;

TEST(LargeSizes, ManifestProgressRangeAndRecordKeepEveryBit) {
  const std::string manifest = "OK\r\nbig.bin\r\n0123456789abcdef0123456789abcdef|5368709121\r\n0\r\n0\r\n";
  RecordNode* files = nullptr;
  RecordNode* directories = nullptr;
  ASSERT_EQ(ManifestStatus::ok, parseManifest(manifest.data(), static_cast<int>(manifest.size()), "C:\\t", "h",
                                              &files, &directories));
  const int64_t size = static_cast<FileRecord*>(files->item)->size;
  releaseManifestLists(files, directories);
  EXPECT_EQ(kFiveGiB, size);

  // 4 GiB and one byte of it received: 80 % of the bar, never wrapped to a small value.
  ProgressRows rows;
  rows.setCount(1);
  rows.set(0, "big.bin", "C:\\t\\big.bin", size, nullptr);
  const ProgressRow& row = rows.current()->rows[0];
  rows.setValue(0, (int64_t{1} << 32) + 1);
  EXPECT_EQ((int64_t{1} << 32) + 1, row.value.load());
  const double fraction = progressFraction(row.value.load(), row.maximum.load());
  EXPECT_EQ("80.00%", progressPercentText(fraction));
  EXPECT_EQ(56, progressFillWidth(0, 71, fraction));
  rows.setValue(0, int64_t{6} << 30);  // more than the file: clamped to it
  EXPECT_EQ(kFiveGiB, row.value.load());
  rows.setState(0, kRowStatePresent);
  EXPECT_EQ("100.00%", progressPercentText(progressFraction(row.value.load(), row.maximum.load())));

  ContentRange range;
  ASSERT_TRUE(contentRange("HTTP/1.1 206 Partial Content\r\nContent-Range: bytes 4294967297-5368709120/5368709121\r\n",
                           &range));
  EXPECT_EQ(4294967297u, range.first);
  EXPECT_EQ(5368709120u, range.last);
  EXPECT_EQ(5368709121u, range.total);
  EXPECT_FALSE(contentRange("HTTP/1.1 206 x\r\nContent-Range: bytes 1-9223372036854775808/9223372036854775809\r\n",
                            &range));

  PartialRecord record;
  record.address = "h/big.bin";
  record.size = size;
  record.digest = "0123456789abcdef0123456789abcdef";
  record.validator = "\"5f3a-140000001\"";
  const std::string text = partialRecordText(record);
  PartialRecord read;
  ASSERT_TRUE(parsePartialRecord(text.data(), text.size(), &read)) << text;
  EXPECT_EQ(kFiveGiB, read.size);
  EXPECT_EQ(text, partialRecordText(read));
}

}  // namespace
