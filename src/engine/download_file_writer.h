// Writing a verified download into the download root so that the file appears under
// its real name whole or not at all: the body goes to a temporary name beside it,
// gets its last-write time, and is then renamed over the target. A failure removes
// the temporary file again.
#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>

struct FileWriteResult {
  bool written;
  DWORD error;             // the system's code when not written (0 if the system gave none)
  std::string failedPath;  // the file that failed: the target, or its temporary name
};

// Writes `size` bytes to `path` with the given last-write time (a Windows file time;
// creation and last-access times are the system's). Refused without writing anything
// when `path` is not inside `root` (ERROR_BAD_PATHNAME) or when it or its temporary
// name would not fit a path buffer (ERROR_FILENAME_EXCED_RANGE).
FileWriteResult writeDownloadedFile(const char* root, const char* path, const void* data,
                                    size_t size, uint64_t lastWriteTime);

// The temporary name the body is written under before the rename: `path` and ".~vm".
std::string temporaryPathFor(const char* path);
