#include "download/download_once.h"

#include <cstdio>
#include <stdexcept>

#include "download/download_once_text.h"
#include "net/http.h"
#include "services/main_window.h"

namespace {
const DWORD kConnectTimeoutMs = 5000;
const DWORD kReceiveTimeoutMs = 60000;
}  // namespace

void setDownloadTransport(Http& http, ProgressCallback callback, void* context) {
  http.ownerWindow = g_mainWindow;
  http.connectTimeout = kConnectTimeoutMs;
  http.receiveTimeout = kReceiveTimeoutMs;
  http.progressCallback = callback;
  http.progressContext = context;
}

std::string announceAttempt(const char* caller, const char* baseUrl, const char* fileName) {
  char address[kDownloadAddressSize];
  if (!joinAddress(address, sizeof(address), baseUrl, fileName))
    throw std::logic_error(std::string(caller) + " -> Error: Address too long");
  std::printf("\nGetting url %s \n", address);
  std::fflush(stdout);
  return address;
}

char* downloadOnce(const char* baseUrl, const char* fileName, int* size, void* context,
                   ProgressCallback callback) {
  const std::string address = announceAttempt("downloadOnce()", baseUrl, fileName);
  Http http;
  setDownloadTransport(http, callback, context);
  http.fetch(address);
  std::printf("endget\n");
  std::fflush(stdout);

  // The body leaves the response block in place instead of being copied out of it.
  size_t length = 0;
  char* body = http.takeContent(&length);
  *size = static_cast<int>(length);
  std::printf("transfering\n");
  std::fflush(stdout);
  return body;
}
