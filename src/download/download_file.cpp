#include "download/download_file.h"

#include "download/download_once.h"
#include "download/download_retry.h"

char* downloadFile(const char* baseUrl, const char* fileName, int* size,
                   ProgressCallback callback, void* context) {
  char* body = nullptr;
  const bool fetched = retryUntilDeclined(baseUrl, fileName, [&](const char* base, const char* name) {
    body = downloadOnce(base, name, size, context, callback);
  });
  return fetched ? body : nullptr;
}
