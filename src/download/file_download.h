// Files of the package come to disk as they arrive: the body goes to the temporary
// file beside the file's place (<path>.~vm, see partial_file.h), its digests computed
// on the way, with the same retry question after a failed attempt as downloadFile
// asks. An attempt that finds bytes of an earlier one asks the server for the rest
// (Range, with the validator it gave then in If-Range) and appends only an answer
// that continues exactly those bytes of exactly that file; anything else starts the
// file again from byte 0, and the note says so. Memory stays small whatever the
// file's size; the caller verifies the digests and puts the file in place.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "download/file_digests.h"

struct FileDownloadJob {
  const char* baseUrl = "";
  const char* name = "";        // as in the manifest, "\" or "/" between its parts
  const char* localPath = "";   // the file's place, which the caller has checked
  int64_t size = 0;             // the manifest's size: more than this is not the file
  const char* digest = "";      // the manifest's digest text, which ties bytes kept to the file
  uint64_t lastWriteTime = 0;   // the manifest's, given to the temporary file once it is whole
  bool withSha256 = false;
  void* context = nullptr;
  // After every piece: the bytes of the file so far, kept ones included.
  void (*progress)(void* context, int64_t bytes) = nullptr;
  // A line for the user: where a transfer resumes, or why it starts from byte 0.
  void (*note)(void* context, const char* text) = nullptr;
};

struct FileDownloadResult {
  enum class End {
    arrived,      // the body is in the temporary file, closed with its last-write time
    declined,     // the user answered No to the retry question
    writeFailed,  // the temporary file could not be created or written
  } end = End::declined;
  int64_t size = 0;               // bytes in the temporary file
  bool longerThanListed = false;  // more than the listed size came; the rest was not read
  FileDigestResult digests;       // of the whole temporary file
  DWORD error = ERROR_SUCCESS;    // when the write failed: the system's code...
  std::string failedPath;         // ...and the file it failed on

  // A write of `path` that failed with the system's `error`.
  static FileDownloadResult writeFailed(DWORD error, const std::string& path);
};

FileDownloadResult downloadFileTo(const FileDownloadJob& job);
