#include "net/http_response.h"

#include <cstring>

namespace {

const char kEmptyLine[] = "\r\n\r\n";
const size_t kEmptyLineLength = 4;

// First position of "\r\n\r\n" at or after `from`, or `size` when there is none.
size_t findEmptyLine(const char* text, size_t size, size_t from) {
  for (size_t i = from; i + kEmptyLineLength <= size; ++i) {
    if (text[i] == '\r' && std::memcmp(text + i, kEmptyLine, kEmptyLineLength) == 0) return i;
  }
  return size;
}

bool startsWithNoCase(const char* text, size_t size, const char* prefix) {
  size_t n = std::strlen(prefix);
  if (size < n) return false;
  for (size_t i = 0; i < n; ++i) {
    char c = text[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != prefix[i]) return false;
  }
  return true;
}

// The Content-Length value of a header block, if a line gives one in plain digits.
bool contentLength(const char* block, size_t size, size_t* length) {
  const char kName[] = "content-length:";
  for (size_t line = 0; line < size;) {
    const char* end = static_cast<const char*>(std::memchr(block + line, '\n', size - line));
    size_t lineEnd = end ? static_cast<size_t>(end - block) : size;
    if (startsWithNoCase(block + line, lineEnd - line, kName)) {
      size_t i = line + sizeof(kName) - 1;
      while (i < lineEnd && (block[i] == ' ' || block[i] == '\t')) ++i;
      size_t value = 0;
      size_t digits = 0;
      for (; i < lineEnd && block[i] >= '0' && block[i] <= '9'; ++i, ++digits) {
        if (value > (static_cast<size_t>(-1) - 9) / 10) return false;
        value = value * 10 + static_cast<size_t>(block[i] - '0');
      }
      if (digits == 0) return false;
      *length = value;
      return true;
    }
    line = lineEnd + 1;
  }
  return false;
}

}  // namespace

size_t headerBlockLength(const char* response, size_t size) {
  size_t at = findEmptyLine(response, size, 0);
  return at == size ? size : at + kEmptyLineLength;
}

bool findLocation(const std::string& headerBlock, std::string* value) {
  static const char* const kMarkers[] = {"Content-Location: ", "content-location: ",
                                         "Location: ",         "location: ",
                                         "Uri: ",              "uri: "};
  for (const char* marker : kMarkers) {
    size_t at = headerBlock.find(marker);
    if (at == std::string::npos) continue;
    size_t start = at + std::strlen(marker);
    size_t end = headerBlock.find("\r\n", start);
    *value = headerBlock.substr(start, end == std::string::npos ? std::string::npos : end - start);
    return true;
  }
  return false;
}

std::string resolveLocation(const std::string& currentUrl, const std::string& hostPort,
                            const std::string& value) {
  if (value.find("http://") != std::string::npos) return value;
  if (!value.empty() && value[0] == '/') return hostPort + value;
  size_t lastSlash = currentUrl.rfind('/');
  std::string base = lastSlash == std::string::npos ? std::string() : currentUrl.substr(0, lastSlash + 1);
  if (value.compare(0, 2, "./") == 0) return base + value.substr(2);
  return base + value;
}

size_t AnnouncedLength::update(const char* response, size_t size) {
  if (settled_) return 0;
  // Resume a few bytes back, so an empty line split across two chunks is found.
  size_t from = searched_ >= kEmptyLineLength - 1 ? searched_ - (kEmptyLineLength - 1) : 0;
  size_t at = findEmptyLine(response, size, from);
  if (at == size) {
    searched_ = size;
    return 0;
  }
  settled_ = true;
  size_t header = at + kEmptyLineLength;
  size_t body = 0;
  if (!contentLength(response, header, &body)) return 0;
  if (body > static_cast<size_t>(-1) - header) return 0;
  return header + body;
}
