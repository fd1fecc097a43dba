// Times one downloadFile of a file from a loopback server and reports the process's
// peak memory. Usage: download_bench <[https://]host:port> <file name>
// Prints: downloadFile <bytes> <seconds> <peak working set bytes> <peak commit bytes>
// <seconds from the attempt's start to its connection note> (TLS: lookup, TCP, the
// handshake and the certificate check; 0 when the connection made no note)
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>

#include "services/message_box.h"
#include "download/download_file.h"
#include "net/connection_notes.h"

namespace {
// A benchmark has nobody to answer: every box is printed and answered No, so a
// failed download ends the run instead of waiting.
int answerNo(HWND, const char* text, const char* caption, UINT) {
  std::fprintf(stderr, "box %s: %s\n", caption ? caption : "(none)", text);
  return IDNO;
}

LARGE_INTEGER g_noted = {};
void onConnectionNote(ConnectionNote, const char*) {
  if (!g_noted.QuadPart) QueryPerformanceCounter(&g_noted);
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: download_bench <[https://]host:port> <file name>\n");
    return 2;
  }
  setMessageBoxAnswerer(answerNo);
  setConnectionNoteSink(&onConnectionNote);
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
  // downloadFile waits 100 ms before its attempt.
  double connected = g_noted.QuadPart
                         ? static_cast<double>(g_noted.QuadPart - start.QuadPart) / frequency.QuadPart - 0.1
                         : 0;
  std::fprintf(stderr, "downloadFile %d %.6f %llu %llu %.6f\n", size, seconds,
               static_cast<unsigned long long>(memory.PeakWorkingSetSize),
               static_cast<unsigned long long>(memory.PeakPagefileUsage), connected);
  std::free(body);
  return 0;
}
