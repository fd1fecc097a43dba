// Text of one installation log line: a local time stamp, the text, CR LF.
#pragma once
#include <cstddef>

struct LogTime {
  int day;
  int month;
  int year;
  int hour;  // 0 to 23
  int minute;
  int second;
};

// Room for the prefix whatever the field values (six 11-character numbers and the punctuation).
constexpr size_t kLogPrefixCapacity = 96;

// Writes "(dd/mm/yyyy hh:mm:ss) " and returns its length.
size_t formatLogPrefix(const LogTime& time, char (&prefix)[kLogPrefixCapacity]);

// What ends every line, after the text unchanged.
constexpr const char* kLogLineEnd = "\r\n";
