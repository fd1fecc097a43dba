#include "services/log_line.h"

#include <cstdio>

size_t formatLogPrefix(const LogTime& time, char (&prefix)[kLogPrefixCapacity]) {
  const int length = std::snprintf(prefix, kLogPrefixCapacity, "(%.2d/%.2d/%.4d %.2d:%.2d:%.2d) ", time.day,
                                   time.month, time.year, time.hour, time.minute, time.second);
  if (length < 0) {
    prefix[0] = '\0';
    return 0;
  }
  return static_cast<size_t>(length) < kLogPrefixCapacity ? static_cast<size_t>(length) : kLogPrefixCapacity - 1;
}
