// Times one downloadFile of a file from a loopback server and reports the process's
// peak memory. Usage: download_bench <host:port> <file name>
// Prints: downloadFile <bytes> <seconds> <peak working set bytes> <peak commit bytes>
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>

#include "services/message_box.h"
#include "download/download_file.h"

namespace {
// A benchmark has nobody to answer: every box is printed and answered No, so a
// failed download ends the run instead of waiting.
int answerNo(HWND, const char* text, const char* caption, UINT) {
  std::fprintf(stderr, "box %s: %s\n", caption ? caption : "(none)", text);
  return IDNO;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: download_bench <host:port> <file name>\n");
    return 2;
  }
  setMessageBoxAnswerer(answerNo);
  // The traces of downloadFile go to stdout; the figures go to stderr.
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  int size = 0;
  char* body = downloadFile(argv[1], argv[2], &size, nullptr, nullptr);
  QueryPerformanceCounter(&end);
  if (!body) return 1;
  double seconds = static_cast<double>(end.QuadPart - start.QuadPart) / frequency.QuadPart;
  PROCESS_MEMORY_COUNTERS memory = {};
  memory.cb = sizeof(memory);
  GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof(memory));
  std::fprintf(stderr, "downloadFile %d %.6f %llu %llu\n", size, seconds,
               static_cast<unsigned long long>(memory.PeakWorkingSetSize),
               static_cast<unsigned long long>(memory.PeakPagefileUsage));
  std::free(body);
  return 0;
}
