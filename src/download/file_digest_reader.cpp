#include "download/file_digest_reader.h"

bool digestOpenFile(HANDLE file, FileDigests& digests, std::vector<char>& buffer, FileDigestResult* result) {
  if (buffer.size() < kDigestReadPiece) buffer.resize(kDigestReadPiece);
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(file, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr)) {
      digests.finish();  // the next file starts afresh
      return false;
    }
    if (got == 0) break;
    digests.update(buffer.data(), got);
  }
  *result = digests.finish();
  return true;
}
