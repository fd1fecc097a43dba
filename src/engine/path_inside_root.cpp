#include "engine/path_inside_root.h"

namespace {
char folded(char c) {
  if (c >= 'a' && c <= 'z') return static_cast<char>(c - 'a' + 'A');
  return c == '/' ? '\\' : c;
}
}  // namespace

bool isPathInsideRoot(const std::string& root, const std::string& path) {
  size_t rootLength = root.size();
  while (rootLength > 0 && folded(root[rootLength - 1]) == '\\') --rootLength;
  if (rootLength == 0 || path.size() <= rootLength + 1) return false;
  for (size_t i = 0; i < rootLength; ++i) {
    if (folded(root[i]) != folded(path[i])) return false;
  }
  // Something must follow the separator, and it may not be a second separator
  // (a full path has none doubled, but the caller's may).
  return folded(path[rootLength]) == '\\' && folded(path[rootLength + 1]) != '\\';
}
