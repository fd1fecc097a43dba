#include "win32/file_time.h"

uint64_t fileTimeValue(const FILETIME& time) {
  return static_cast<uint64_t>(time.dwHighDateTime) << 32 | time.dwLowDateTime;
}

bool setLastWriteTime(HANDLE file, uint64_t time) {
  FILETIME written;
  written.dwLowDateTime = static_cast<DWORD>(time);
  written.dwHighDateTime = static_cast<DWORD>(time >> 32);
  return SetFileTime(file, nullptr, nullptr, &written) != 0;
}
