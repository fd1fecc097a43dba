#include "net/url.h"

#include <climits>
#include <stdexcept>

#include "net/ascii_text.h"

namespace {

const char* const kInvalidUrl = "Url::extract() -> Error: Invalid URL";
const char* const kInvalidPort = "Url::extract() -> Error: Invalid port number";

bool isBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Reads a port the way `stream >> int` does: blanks skipped, an optional sign,
// decimal digits up to the first non-digit. False when there is no digit or the
// value leaves the signed 32-bit range.
bool readPort(const std::string& text, int& value) {
  size_t i = 0;
  while (i < text.size() && isBlank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  const size_t firstDigit = i;
  // Magnitude saturates just past the largest allowed one, so long digit runs cannot overflow.
  const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
  long long magnitude = 0;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
    if (magnitude <= limit) magnitude = magnitude * 10 + (text[i] - '0');
    ++i;
  }
  if (i == firstDigit || magnitude > limit) return false;
  value = static_cast<int>(negative ? -magnitude : magnitude);
  return true;
}

}  // namespace

size_t schemeNameLength(const std::string& text) {
  auto isLetter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
  if (text.empty() || !isLetter(text[0])) return 0;
  size_t length = 1;
  for (; length < text.size(); ++length) {
    const char c = text[length];
    if (!isLetter(c) && !(c >= '0' && c <= '9') && c != '+' && c != '-' && c != '.') break;
  }
  return length;
}

Url::Url() : valid(false), port(80), url("unknown"), protocol("http://"), host("unknown"), path("unknown") {}

Url Url::operator=(const std::string& text) {
  reset();
  if (text.empty()) throw std::logic_error("Url::operator=() -> Error: Invalid URL");
  url = text;
  extract();
  return *this;
}

void Url::reset() {
  valid = false;
  port = 80;
  protocol = "http://";
  host = "unknown";
  path = "unknown";
}

void Url::extract() {
  valid = true;

  // "://" ends a scheme only when a scheme name stands before it: in
  // "host/a?next=http://x" it belongs to the query, and the address has no scheme.
  const size_t scheme = schemeNameLength(url);
  if (scheme > 0 && url.compare(scheme, 3, "://") == 0) {
    protocol = url.substr(0, scheme) + "://";
    url.erase(0, scheme + 3);
  }

  if (isSecure()) port = 443;

  const std::string rest = url;
  if (rest.size() < 3 || rest[0] == '/') {
    valid = false;
    throw std::logic_error(kInvalidUrl);
  }

  const size_t slash = rest.find('/');
  if (slash == std::string::npos) {
    host = rest;
    path = "/";
  } else {
    host = rest.substr(0, slash);
    path = rest.substr(slash);
  }

  const size_t colon = host.find(':');
  if (colon != std::string::npos) {
    int parsed = 0;
    if (!readPort(host.substr(colon + 1), parsed)) {
      valid = false;
      throw std::logic_error(kInvalidPort);
    }
    port = parsed;
    host.erase(colon);
    if (port > 65535) {
      valid = false;
      throw std::logic_error(kInvalidPort);
    }
  }

  url = protocol + rest;
}

bool Url::isValid() const { return valid; }
int Url::getPort() const { return port; }
std::string Url::getUrl() const { return url; }
std::string Url::getProtocol() const { return protocol; }
std::string Url::getHost() const { return host; }
std::string Url::getPath() const { return path; }
std::string Url::getPortString() const { return std::to_string(port); }

std::string Url::getHostPort() const {
  if (port == (isSecure() ? 443 : 80)) return host;
  return host + ":" + getPortString();
}

bool Url::isSecure() const { return equalsNoCase(protocol, "https://"); }
