#include "services/log_line.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "services/log_path.h"

namespace {

std::string prefixOf(const LogTime& time) {
  char prefix[kLogPrefixCapacity];
  const size_t length = formatLogPrefix(time, prefix);
  EXPECT_EQ(std::string(prefix).size(), length);
  return std::string(prefix, length);
}

}  // namespace

TEST(LogLinePrefix, DayMonthYearThenTimeInParenthesesAndOneBlank) {
  EXPECT_EQ("(07/12/2026 22:20:04) ", prefixOf({7, 12, 2026, 22, 20, 4}));
  EXPECT_EQ("(31/01/1999 23:59:59) ", prefixOf({31, 1, 1999, 23, 59, 59}));
}

TEST(LogLinePrefix, EveryFieldIsZeroPaddedYearToFourDigits) {
  EXPECT_EQ("(01/02/0003 00:05:09) ", prefixOf({1, 2, 3, 0, 5, 9}));
  EXPECT_EQ("(00/00/0000 00:00:00) ", prefixOf({0, 0, 0, 0, 0, 0}));
}

TEST(LogLinePrefix, WideValuesAreWrittenWholeNotCut) {
  EXPECT_EQ("(100/123/12345 24:60:61) ", prefixOf({100, 123, 12345, 24, 60, 61}));
}

TEST(LogLinePrefix, ExtremeValuesStayInsideTheBuffer) {
  const std::string prefix = prefixOf({INT_MIN, INT_MIN, INT_MIN, INT_MIN, INT_MIN, INT_MIN});
  EXPECT_EQ("(-2147483648/-2147483648/-2147483648 -2147483648:-2147483648:-2147483648) ", prefix);
  EXPECT_LT(prefix.size(), kLogPrefixCapacity);
}

TEST(LogLineEnd, IsCarriageReturnLineFeed) { EXPECT_EQ(std::string("\r\n"), kLogLineEnd); }

TEST(LogPath, NameFollowsTheDirectoryBehindADoubledSeparator) {
  EXPECT_EQ("C:\\users\\me\\Temp\\\\velmorin.log", logPathIn("C:\\users\\me\\Temp\\"));
  EXPECT_EQ("\\velmorin.log", logPathIn(""));
}

TEST(LogPath, FitsUpTo259Characters) {
  EXPECT_TRUE(logPathFits(std::string(259, 'x')));
  EXPECT_FALSE(logPathFits(std::string(260, 'x')));
  EXPECT_FALSE(logPathFits(logPathIn(std::string(247, 'd'))));
  EXPECT_TRUE(logPathFits(logPathIn(std::string(246, 'd'))));
}
