#include "download/partial_record.h"

#include <cstring>

#include "download/decimal_text.h"

namespace {

const char kFirstLine[] = "velmorin-partial 1";
const size_t kLargestValidator = 200;

bool holdsLineBreakOrZero(const std::string& value) {
  return value.find_first_of(std::string("\r\n\0", 3)) != std::string::npos;
}

// The value of the next line, which must be `key`, one space and the value.
bool readField(const std::string& text, size_t* at, const char* key, std::string* value) {
  const size_t end = text.find('\n', *at);
  const size_t keyLength = std::strlen(key);
  if (end == std::string::npos || text.compare(*at, keyLength, key) != 0 || text[*at + keyLength] != ' ')
    return false;
  *value = text.substr(*at + keyLength + 1, end - *at - keyLength - 1);
  *at = end + 1;
  return !holdsLineBreakOrZero(*value);
}

// Plain digits without a leading zero, below 2^63: a size only as partialRecordText
// writes it (no sign, space or other text around it).
bool readSize(const std::string& text, int64_t* size) {
  int64_t value = 0;
  if (!parseFileSize(text.c_str(), &value) || std::to_string(value) != text) return false;
  *size = value;
  return true;
}

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool endsIn(const char* end, const char* suffix) {
  const char* tail = end - kPartialSuffixLength;
  for (size_t i = 0; i < kPartialSuffixLength; ++i) {
    if (lower(tail[i]) != suffix[i]) return false;
  }
  return true;
}

const char* keyOf(PartialRecord::Validator kind) {
  return kind == PartialRecord::Validator::etag ? "etag" : "modified";
}

}  // namespace

bool isPartialFileName(const char* begin, const char* end) {
  return end - begin >= static_cast<std::ptrdiff_t>(kPartialSuffixLength) &&
         (endsIn(end, kPartialFileSuffix) || endsIn(end, kPartialRecordSuffix));
}

bool usableValidator(PartialRecord::Validator kind, const std::string& value) {
  if (value.empty() || value.size() > kLargestValidator) return false;
  for (char c : value) {
    if (c < 0x20 || c > 0x7E) return false;
  }
  return kind != PartialRecord::Validator::etag || value.compare(0, 2, "W/") != 0;
}

std::string partialRecordText(const PartialRecord& record) {
  if (holdsLineBreakOrZero(record.address) || holdsLineBreakOrZero(record.digest) || record.size < 0 ||
      !usableValidator(record.kind, record.validator))
    return {};
  return std::string(kFirstLine) + "\naddress " + record.address + "\nsize " + std::to_string(record.size) +
         "\ndigest " + record.digest + "\n" + keyOf(record.kind) + " " + record.validator + "\n";
}

bool parsePartialRecord(const char* data, size_t size, PartialRecord* record) {
  if (size > kPartialRecordLimit) return false;
  const std::string text(data, size);
  const size_t firstLength = sizeof kFirstLine - 1;
  if (text.compare(0, firstLength, kFirstLine) != 0 || text.size() <= firstLength || text[firstLength] != '\n')
    return false;
  size_t at = firstLength + 1;
  PartialRecord read;
  std::string sizeText;
  if (!readField(text, &at, "address", &read.address) || !readField(text, &at, "size", &sizeText) ||
      !readSize(sizeText, &read.size) || !readField(text, &at, "digest", &read.digest))
    return false;
  read.kind = text.compare(at, 5, "etag ") == 0 ? PartialRecord::Validator::etag : PartialRecord::Validator::modified;
  if (!readField(text, &at, keyOf(read.kind), &read.validator) || at != text.size() ||
      !usableValidator(read.kind, read.validator))
    return false;
  *record = read;
  return true;
}
