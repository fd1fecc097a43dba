#include "net/ascii_text.h"

#include <cstring>

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string lowered(std::string text) {
  for (char& c : text) c = lower(c);
  return text;
}

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = lower(c);
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

bool equalsNoCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (lower(a[i]) != lower(b[i])) return false;
  return true;
}

bool startsWithNoCase(const char* text, size_t size, const char* prefix) {
  const size_t length = std::strlen(prefix);
  if (size < length) return false;
  for (size_t i = 0; i < length; ++i)
    if (lower(text[i]) != lower(prefix[i])) return false;
  return true;
}

bool startsWithNoCase(const std::string& text, const char* prefix) {
  return startsWithNoCase(text.data(), text.size(), prefix);
}
