#include "download/decimal_text.h"

#include <limits>

namespace {
bool isSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// The value as parseDecimal64 gives it; *clamped tells whether it passed the range.
int64_t readDecimal(const char* text, bool* clamped) {
  *clamped = false;
  while (isSpace(*text)) ++text;
  bool negative = false;
  if (*text == '+' || *text == '-') negative = *text++ == '-';
  // Accumulate the magnitude as unsigned, stopping once it passes the limit of the sign.
  const uint64_t limit = negative ? uint64_t{1} << 63 : (uint64_t{1} << 63) - 1;
  uint64_t magnitude = 0;
  for (; *text >= '0' && *text <= '9'; ++text) {
    uint64_t digit = static_cast<uint64_t>(*text - '0');
    if (magnitude > (limit - digit) / 10) {
      magnitude = limit;
      *clamped = true;
      break;
    }
    magnitude = magnitude * 10 + digit;
  }
  if (!negative) return static_cast<int64_t>(magnitude);
  if (magnitude == uint64_t{1} << 63) return std::numeric_limits<int64_t>::min();
  return -static_cast<int64_t>(magnitude);
}
}  // namespace

int64_t parseDecimal64(const char* text) {
  bool clamped = false;
  return readDecimal(text, &clamped);
}

int32_t parseDecimal32(const char* text) {
  int64_t value = parseDecimal64(text);
  if (value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (value < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(value);
}

bool parseFileSize(const char* text, int64_t* size) {
  bool clamped = false;
  const int64_t value = readDecimal(text, &clamped);
  if (clamped || value < 0) return false;
  *size = value;
  return true;
}
