// Progress of the digests on stderr: a few lines per second at most, so that a large
// folder shows it is moving without flooding a log.
#pragma once
#include <chrono>
#include <cstdint>
#include <ostream>

class ProgressMeter {
 public:
  enum class Mode {
    off,
    terminal,  // one line rewritten in place; shown only once the work lasts a while
    lines,     // asked for: one line per report and a last one, for logs and pipes
  };
  ProgressMeter(std::ostream& out, Mode mode, uint64_t totalBytes, size_t totalFiles);

  void addBytes(uint64_t count);
  void fileDone();
  void finish();

 private:
  void reportIfDue();
  void report();

  std::ostream& out_;
  Mode mode_;
  uint64_t totalBytes_;
  size_t totalFiles_;
  uint64_t bytes_ = 0;
  size_t files_ = 0;
  bool shown_ = false;
  std::chrono::steady_clock::time_point nextReport_;
};
