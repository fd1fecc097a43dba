#include "download/manifest_names.h"

#include <cctype>
#include <cstring>
#include <initializer_list>

namespace {
bool isSeparator(char c) { return c == '\\' || c == '/'; }

// Windows drops trailing dots and spaces from a path component, so any component made
// only of dots and spaces with two dots or more climbs to the parent.
bool climbsToParent(const char* begin, const char* end) {
  int dots = 0;
  for (const char* c = begin; c != end; ++c) {
    if (*c == '.') {
      ++dots;
    } else if (*c != ' ') {
      return false;
    }
  }
  return dots >= 2;
}

// Windows opens a device, not a file, for a component named CON, PRN, AUX, NUL, COM1 to
// COM9 or LPT1 to LPT9 (the superscript digits 1, 2 and 3 of the ANSI code page
// included), with or without an extension.
bool namesDevice(const char* begin, const char* end) {
  const char* stem = begin;
  while (stem != end && *stem != '.') ++stem;
  while (stem != begin && stem[-1] == ' ') --stem;
  char upper[5] = {};
  size_t n = static_cast<size_t>(stem - begin);
  if (n < 3 || n > 4) return false;
  for (size_t i = 0; i < n; ++i) {
    upper[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(begin[i])));
  }
  for (const char* device : {"CON", "PRN", "AUX", "NUL"}) {
    if (std::strcmp(upper, device) == 0) return true;
  }
  bool numbered = std::strncmp(upper, "COM", 3) == 0 || std::strncmp(upper, "LPT", 3) == 0;
  const unsigned char digit = static_cast<unsigned char>(upper[3]);
  return numbered && n == 4 &&
         ((digit >= '1' && digit <= '9') || digit == 0xB9 || digit == 0xB2 || digit == 0xB3);
}

// Windows drops a trailing dot or space of a component ("a." writes "a"), so the file
// written would not be the one named. A lone "." stays: it names the directory itself.
bool endsShortened(const char* begin, const char* end) {
  if (end == begin || (end - begin == 1 && *begin == '.')) return false;
  return end[-1] == '.' || end[-1] == ' ';
}
}  // namespace

bool isNameInsideRoot(const char* name) {
  // An empty name would stand for the download root itself.
  if (name[0] == '\0' || isSeparator(name[0])) return false;
  if (std::strchr(name, ':')) return false;  // drives, alternate data streams
  const char* component = name;
  for (const char* c = name;; ++c) {
    if (*c == '\0' || isSeparator(*c)) {
      if (climbsToParent(component, c) || namesDevice(component, c) || endsShortened(component, c))
        return false;
      if (*c == '\0') return true;
      component = c + 1;
    }
  }
}

bool fitsUnderRoot(const char* root, const char* name, size_t fieldSize) {
  return std::strlen(root) + 1 + std::strlen(name) < fieldSize;
}
