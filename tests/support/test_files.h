// Files as the tests read them back.
#pragma once
#include <fstream>
#include <sstream>
#include <string>

// A whole file's bytes; `missing` when it cannot be opened (by default a text no
// file of the tests holds, so that a missing file is told from an empty one).
inline std::string readWholeFile(const std::string& path, const std::string& missing = "<missing>") {
  std::ifstream in(path, std::ios::binary);
  if (!in) return missing;
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}
