#include "download/file_digest_reader.h"

bool feedOpenFile(HANDLE file, uint64_t size, FileDigests& digests, std::vector<char>& buffer, uint64_t* bytes) {
  if (buffer.size() < kDigestReadPiece) buffer.resize(kDigestReadPiece);
  for (*bytes = 0; *bytes < size;) {
    const uint64_t left = size - *bytes;
    const DWORD piece = static_cast<DWORD>(left < buffer.size() ? left : buffer.size());
    DWORD got = 0;
    if (!ReadFile(file, buffer.data(), piece, &got, nullptr)) return false;
    if (got == 0) return true;
    digests.update(buffer.data(), got);
    *bytes += got;
  }
  return true;
}

bool digestOpenFile(HANDLE file, FileDigests& digests, std::vector<char>& buffer, FileDigestResult* result) {
  uint64_t bytes = 0;
  const bool read = feedOpenFile(file, UINT64_MAX, digests, buffer, &bytes);
  const FileDigestResult digested = digests.finish();  // the next file starts afresh either way
  if (read) *result = digested;
  return read;
}
