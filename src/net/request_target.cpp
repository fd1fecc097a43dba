#include "net/request_target.h"

#include <cstring>

namespace {

bool isUnreserved(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '.' || c == '_' || c == '~';
}

// What a URI's path and query may hold as it stands: unreserved characters, the
// sub-delimiters, ":", "@", "/", "?", and "%" of an escape.
bool mayStandInUri(unsigned char c) {
  return isUnreserved(c) || (c != '\0' && std::strchr("!$&'()*+,;=:@/?%", c) != nullptr);
}

void appendEscaped(std::string& out, unsigned char c) {
  static const char kHex[] = "0123456789ABCDEF";
  out += '%';
  out += kHex[c >> 4];
  out += kHex[c & 0x0F];
}

}  // namespace

std::string targetForNames(const std::string& path) {
  std::string target;
  target.reserve(path.size());
  for (unsigned char c : path) {
    if (isUnreserved(c) || c == '/') target += static_cast<char>(c);
    else appendEscaped(target, c);
  }
  return target;
}

std::string targetForUri(const std::string& path) {
  std::string target;
  target.reserve(path.size());
  for (unsigned char c : path) {
    if (c == '#') break;
    if (mayStandInUri(c)) target += static_cast<char>(c);
    else appendEscaped(target, c);
  }
  return target;
}
