// What the client reads from a response's header block besides its locations and
// length: the status code, the header lines, the range a partial answer covers and
// the validators of the resource. Plain text code, shared by the client, the proxy
// work and the fuzz targets.
#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// The status code on the first line of a response head; 0 when it is not
// "HTTP/<version> <three digits>".
int responseStatus(const std::string& head);
// The first line of a response head, without its line end.
std::string statusLine(const std::string& head);

// The header lines of a head, without the status line, each as its name in lower
// case and its value without the blanks around it.
std::vector<std::pair<std::string, std::string>> headerLines(const std::string& head);
// The value of the first header line named `lowerName`; empty when there is none.
std::string headerValue(const std::string& head, const char* lowerName);

// "Content-Range: bytes FIRST-LAST/TOTAL", each a decimal number below 2^63, with
// FIRST <= LAST < TOTAL. Anything else (no such line, "bytes */TOTAL", another unit,
// a range that does not fit its total) is no range.
struct ContentRange {
  uint64_t first = 0;
  uint64_t last = 0;
  uint64_t total = 0;
};
bool contentRange(const std::string& head, ContentRange* range);
