// A log that grows while a test runs, read from a mark on: the lines written since.
#pragma once
#include <algorithm>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "support/test_files.h"

// The lines of a text, without their line feeds.
inline std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

class LogTail {
 public:
  LogTail() = default;
  // Marked at the end of the log as it is now (a log not there yet has no lines).
  explicit LogTail(std::string path) : path_(std::move(path)), seen_(all().size()) {}

  std::vector<std::string> all() const { return linesOf(readWholeFile(path_, "")); }
  // The lines since the mark, which moves past them.
  std::vector<std::string> fresh() {
    std::vector<std::string> lines = all();
    const size_t total = lines.size();
    lines.erase(lines.begin(), lines.begin() + static_cast<long>(std::min(seen_, total)));
    seen_ = total;
    return lines;
  }
  // How many lines the log had at the mark.
  size_t seen() const { return seen_; }

 private:
  std::string path_;
  size_t seen_ = 0;
};
