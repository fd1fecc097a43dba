// Putting a downloaded file into the download root so that it appears under its real
// name whole or not at all: its bytes are written under a temporary name beside it
// (<path>.~vm), which gets the file's last-write time and is then renamed over the
// target. A file of the package arrives in that temporary file as it is received
// (download/file_download.h); a small one held in memory is written there here.
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

// ERROR_SUCCESS when `path` lies inside `root` and it and its temporary name fit a
// path buffer; otherwise ERROR_BAD_PATHNAME or ERROR_FILENAME_EXCED_RANGE, and
// nothing may be written for it.
DWORD refusedTarget(const char* root, const char* path);

// The verified temporary file of `path`, which has its last-write time already,
// replaces `path`. A failure leaves the temporary file as it is.
FileWriteResult placeVerifiedFile(const char* path);

// Writes `size` bytes held in memory to `path` the same way, with the given last-write
// time (a Windows file time; creation and last-access times are the system's),
// refused as refusedTarget says; a failure removes the temporary file again.
FileWriteResult writeDownloadedFile(const char* root, const char* path, const void* data,
                                    size_t size, uint64_t lastWriteTime);
