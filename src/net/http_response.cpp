#include "net/http_response.h"

#include <cstring>
#include <stdexcept>

#include "net/ascii_text.h"
#include "net/url.h"

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

namespace {

// A value that begins with a scheme name and ":" names a protocol; any other value is
// a path.
bool namesProtocol(const std::string& value) {
  const size_t scheme = schemeNameLength(value);
  return scheme > 0 && scheme < value.size() && value[scheme] == ':';
}

}  // namespace

bool leavesTls(const std::string& currentUrl, const std::string& value) {
  return startsWithNoCase(currentUrl, "https://") && startsWithNoCase(value, "http://");
}

std::string resolveLocation(const std::string& currentUrl, const std::string& hostPort,
                            const std::string& value) {
  if (startsWithNoCase(value, "http://") || startsWithNoCase(value, "https://")) return value;
  // The client speaks HTTP and HTTPS only: an ftp:// address taken as a path on this
  // server would fetch something else than the server meant.
  if (namesProtocol(value))
    throw std::logic_error("Http::followLocation() -> Error: Unsupported protocol in location");
  // The protocol stays: a plain address gets it back from the Url parser.
  if (!value.empty() && value[0] == '/')
    return (startsWithNoCase(currentUrl, "https://") ? "https://" : "") + hostPort + value;
  // The directory ends at the last "/" of the path: a query's slashes are no part of it.
  const size_t query = currentUrl.find('?');
  const size_t lastSlash = currentUrl.rfind('/', query == std::string::npos ? std::string::npos : query);
  std::string base = lastSlash == std::string::npos ? std::string() : currentUrl.substr(0, lastSlash + 1);
  if (value.compare(0, 2, "./") == 0) return base + value.substr(2);
  return base + value;
}
