#include "net/response_head.h"

#include "net/ascii_text.h"

namespace {

const uint64_t kLargestNumber = (uint64_t{1} << 63) - 1;

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// Reads decimal digits at *at into *value; false when there are none or they pass
// the largest number.
bool readNumber(const std::string& text, size_t* at, uint64_t* value) {
  const size_t start = *at;
  uint64_t number = 0;
  for (; *at < text.size() && text[*at] >= '0' && text[*at] <= '9'; ++*at) {
    const uint64_t digit = static_cast<uint64_t>(text[*at] - '0');
    if (number > (kLargestNumber - digit) / 10) return false;
    number = number * 10 + digit;
  }
  *value = number;
  return *at > start;
}

}  // namespace

int responseStatus(const std::string& head) {
  const std::string line = statusLine(head);
  if (line.compare(0, 5, "HTTP/") != 0) return 0;
  const size_t space = line.find(' ');
  if (space == std::string::npos || line.size() < space + 4) return 0;
  int code = 0;
  for (size_t i = space + 1; i < space + 4; ++i) {
    if (line[i] < '0' || line[i] > '9') return 0;
    code = code * 10 + (line[i] - '0');
  }
  return line.size() > space + 4 && line[space + 4] != ' ' ? 0 : code;
}

std::string statusLine(const std::string& head) { return head.substr(0, head.find("\r\n")); }

std::vector<std::pair<std::string, std::string>> headerLines(const std::string& head) {
  std::vector<std::pair<std::string, std::string>> lines;
  size_t at = head.find("\r\n");
  while (at != std::string::npos && at + 2 < head.size()) {
    size_t start = at + 2;
    size_t end = head.find("\r\n", start);
    std::string line = head.substr(start, end == std::string::npos ? std::string::npos : end - start);
    at = end;
    size_t colon = line.find(':');
    if (line.empty() || colon == std::string::npos) continue;
    size_t value = colon + 1;
    while (value < line.size() && isBlank(line[value])) ++value;
    size_t valueEnd = line.size();
    while (valueEnd > value && isBlank(line[valueEnd - 1])) --valueEnd;
    lines.emplace_back(lowered(line.substr(0, colon)), line.substr(value, valueEnd - value));
  }
  return lines;
}

std::string headerValue(const std::string& head, const char* lowerName) {
  for (const auto& line : headerLines(head)) {
    if (line.first == lowerName) return line.second;
  }
  return {};
}

bool contentRange(const std::string& head, ContentRange* range) {
  const std::string value = headerValue(head, "content-range");
  if (value.size() < 6 || !startsWithNoCase(value, "bytes") || !isBlank(value[5])) return false;
  size_t at = 6;
  while (at < value.size() && isBlank(value[at])) ++at;
  ContentRange read;
  if (!readNumber(value, &at, &read.first) || at >= value.size() || value[at++] != '-' ||
      !readNumber(value, &at, &read.last) || at >= value.size() || value[at++] != '/' ||
      !readNumber(value, &at, &read.total) || at != value.size())
    return false;
  if (read.first > read.last || read.last >= read.total) return false;
  *range = read;
  return true;
}
