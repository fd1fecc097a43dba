#include "download/file_digest_reader.h"

bool feedOpenFile(HANDLE file, FileDigests& digests, std::vector<char>& buffer, uint64_t* bytes) {
  if (buffer.size() < kDigestReadPiece) buffer.resize(kDigestReadPiece);
  *bytes = 0;
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(file, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr)) return false;
    if (got == 0) return true;
    digests.update(buffer.data(), got);
    *bytes += got;
  }
}

bool digestOpenFile(HANDLE file, FileDigests& digests, std::vector<char>& buffer, FileDigestResult* result) {
  uint64_t bytes = 0;
  const bool read = feedOpenFile(file, digests, buffer, &bytes);
  const FileDigestResult digested = digests.finish();  // the next file starts afresh either way
  if (read) *result = digested;
  return read;
}
