#include "download/manifest_names.h"

#include <cstring>

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
}  // namespace

bool isNameInsideRoot(const char* name) {
  // An empty name would stand for the download root itself.
  if (name[0] == '\0' || isSeparator(name[0])) return false;
  if (std::strchr(name, ':')) return false;  // drives, alternate data streams
  const char* component = name;
  for (const char* c = name;; ++c) {
    if (*c == '\0' || isSeparator(*c)) {
      if (climbsToParent(component, c)) return false;
      if (*c == '\0') return true;
      component = c + 1;
    }
  }
}

bool fitsUnderRoot(const char* root, const char* name, size_t fieldSize) {
  return std::strlen(root) + 1 + std::strlen(name) < fieldSize;
}
