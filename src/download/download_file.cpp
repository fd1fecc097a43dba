#include "download/download_file.h"

#include "download/download_once.h"
#include "download/download_retry.h"

char* downloadFile(const char* baseUrl, const char* fileName, int* size,
                   ProgressCallback callback, void* context) {
  char* body = nullptr;  // stays so when the user declines
  retryUntilDeclined(baseUrl, fileName, [&](const char* base, const char* name) {
    body = downloadOnce(base, name, size, context, callback);
  });
  return body;
}
