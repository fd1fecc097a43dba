#include "progress_meter.h"

#include <cstdio>

namespace {
constexpr std::chrono::milliseconds kInterval(250);
}  // namespace

ProgressMeter::ProgressMeter(std::ostream& out, Mode mode, uint64_t totalBytes, size_t totalFiles)
    : out_(out),
      mode_(mode),
      totalBytes_(totalBytes),
      totalFiles_(totalFiles),
      nextReport_(std::chrono::steady_clock::now() + kInterval) {}

void ProgressMeter::addBytes(uint64_t count) {
  bytes_ += count;
  reportIfDue();
}

void ProgressMeter::fileDone() {
  ++files_;
  reportIfDue();
}

void ProgressMeter::finish() {
  // A quick run on a terminal leaves no trace; a run that showed progress ends its line.
  if (mode_ == Mode::lines || shown_) {
    report();
    if (mode_ == Mode::terminal) out_ << '\n';
  }
  out_.flush();
}

void ProgressMeter::reportIfDue() {
  if (mode_ == Mode::off) return;
  const auto now = std::chrono::steady_clock::now();
  if (now < nextReport_) return;
  nextReport_ = now + kInterval;
  report();
  out_.flush();
}

void ProgressMeter::report() {
  char line[160];
  const double percent = totalBytes_ ? 100.0 * double(bytes_) / double(totalBytes_) : 100.0;
  std::snprintf(line, sizeof line, "digested %.1f of %.1f MB (%.0f%%), %zu of %zu files",
                double(bytes_) / 1e6, double(totalBytes_) / 1e6, percent, files_, totalFiles_);
  if (mode_ == Mode::terminal) {
    out_ << '\r' << line << "   ";
  } else {
    out_ << line << '\n';
  }
  shown_ = true;
}
