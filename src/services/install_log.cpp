#include "services/install_log.h"

#include <atomic>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "services/log_line.h"
#include "services/log_path.h"
#include "services/message_box.h"
#include "services/shell_open.h"
#include "win32/handles.h"
#include "win32/whole_file.h"

namespace {

// The log file, kept until closeLog even once logging has stopped. Never destroyed: a
// worker may still be writing a line while the process ends.
KernelHandle& logFile() {
  static KernelHandle* const file = new KernelHandle();
  return *file;
}

std::atomic<bool> g_open{false};  // lines are written only while this is set
char g_path[kLogPathCapacity] = "";
std::atomic<LogFlush> g_flush{nullptr};

// The time zone, read when the log opens. Asking the system for the local time takes
// its time-zone lock, which a worker terminated in that call would hold for ever and
// so stop every later line; converting the system time with a zone held here takes
// no lock.
TIME_ZONE_INFORMATION g_zone = {};
bool g_haveZone = false;

SYSTEMTIME localTimeNow() {
  SYSTEMTIME universal, local;
  GetSystemTime(&universal);
  if (g_haveZone && SystemTimeToTzSpecificLocalTime(&g_zone, &universal, &local)) return local;
  GetLocalTime(&local);
  return local;
}

// Serialises whole lines between threads. A kernel mutex, because the engine may
// terminate a worker thread in the middle of a line: the next waiter then gets the
// abandoned mutex instead of waiting forever.
HANDLE lineLock() {
  static HANDLE lock = CreateMutexA(nullptr, FALSE, nullptr);
  return lock;
}

class LineGuard {
 public:
  LineGuard() : lock_(lineLock()) {
    if (lock_) WaitForSingleObject(lock_, INFINITE);
  }
  ~LineGuard() {
    if (lock_) ReleaseMutex(lock_);
  }
  LineGuard(const LineGuard&) = delete;
  LineGuard& operator=(const LineGuard&) = delete;

 private:
  HANDLE lock_;
};

// False when the system cannot give the directory (Wine refuses one longer than
// MAX_PATH); a log in the root of the current drive would be no better.
bool temporaryDirectory(std::string& directory) {
  std::vector<char> buffer(MAX_PATH + 1);
  DWORD length = GetTempPathA(static_cast<DWORD>(buffer.size()), buffer.data());
  if (length >= buffer.size()) {  // too long for the first buffer: the answer is the size needed
    buffer.resize(length + 1);
    length = GetTempPathA(static_cast<DWORD>(buffer.size()), buffer.data());
    if (length >= buffer.size()) return false;
  }
  directory.assign(buffer.data(), length);
  return length != 0;
}

void writeToLog(const char* bytes, size_t count) {
  writeAll(logFile().get(), bytes, count);  // errors ignored by design
}

// Set while a line is being written: a worker terminated in the middle of a line
// leaves it set, and the next line then ends the broken one first.
bool g_lineUnfinished = false;

void writeLineLocked(const char* text) {
  if (g_lineUnfinished) writeToLog(kLogLineEnd, std::strlen(kLogLineEnd));
  g_lineUnfinished = true;
  const SYSTEMTIME now = localTimeNow();
  const LogTime time{now.wDay, now.wMonth, now.wYear, now.wHour, now.wMinute, now.wSecond};
  char prefix[kLogPrefixCapacity];
  const size_t prefixLength = formatLogPrefix(time, prefix);
  writeToLog(prefix, prefixLength);
  writeToLog(text, std::strlen(text));
  writeToLog(kLogLineEnd, std::strlen(kLogLineEnd));
  g_lineUnfinished = false;
  const LogFlush flush = g_flush.load();
  (flush ? flush : FlushFileBuffers)(logFile().get());
}

void releaseFileLocked() {
  g_open = false;
  logFile().close();
}

}  // namespace

void openLog(HWND owner) {
  LineGuard guard;
  releaseFileLocked();  // a second opening must not hold the file twice
  g_haveZone = GetTimeZoneInformation(&g_zone) != TIME_ZONE_ID_INVALID;

  std::string directory;
  const bool haveDirectory = temporaryDirectory(directory);
  const std::string path = logPathIn(directory);
  KernelHandle file;
  if (haveDirectory && logPathFits(path)) {
    file.reset(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr));
  }
  if (!file) {
    const std::string text = "troubleshooting creating log file (" + path + ")";
    showMessageBox(owner, text.c_str(), "log", MB_SYSTEMMODAL | MB_OK);
    g_path[0] = '\0';  // nothing to show at the end of the run
    return;
  }

  SetFilePointer(file.get(), 0, nullptr, FILE_END);
  logFile() = std::move(file);
  std::memcpy(g_path, path.c_str(), path.size() + 1);
  g_open = true;
  writeLineLocked("Running setup installation");
}

void writeLogLine(const char* text) {
  if (!g_open) return;
  LineGuard guard;
  if (!g_open) return;  // stopped while this thread waited for the line before
  writeLineLocked(text ? text : "");
}

void askViewLog(HWND owner) {
  {
    LineGuard guard;  // a line being written is finished first
    g_open = false;
  }
  if (showMessageBox(owner, "View Log install", "Log", MB_ICONWARNING | MB_YESNO | MB_SYSTEMMODAL) == IDYES &&
      g_path[0] != '\0')
    openWithShell(owner, "open", g_path);
}

void setLogFlush(LogFlush flush) { g_flush.store(flush); }

const char* logFilePath() { return g_path; }

void closeLog() {
  LineGuard guard;
  releaseFileLocked();
}
