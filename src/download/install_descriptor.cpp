#include "download/install_descriptor.h"

#include <cstring>

#include "download/line_reader.h"
#include "download/text_field.h"

const char* g_downloadHost = VELMORIN_DOWNLOAD_HOST;
const char* g_descriptorText = nullptr;
int g_descriptorLength = 0;
char g_productName[256];
char g_libraryName[256];
char g_baseUrl[256];
char g_imageUrl[256];
char g_downloadRoot[256];

namespace {
// Field widths of the descriptor lines, each counting the terminating zero.
constexpr size_t kMarkerField = 256;
constexpr size_t kInstallPathField = 128;
constexpr size_t kImageUrlField = 128;
constexpr size_t kBaseUrlField = 128;
}  // namespace

void parseInstallDescriptor(const char* text, int length) {
  int cursor = -1;
  char marker[kMarkerField];
  readLine(text, &cursor, length, marker, sizeof marker);  // not checked: any marker goes
  readLine(text, &cursor, length, g_productName, sizeof g_productName);

  char installPath[kInstallPathField] = {};
  char imageUrl[kImageUrlField] = {};
  readLine(text, &cursor, length, installPath, sizeof installPath);
  readLine(text, &cursor, length, imageUrl, sizeof imageUrl);
  readLine(text, &cursor, length, g_libraryName, sizeof g_libraryName);

  for (char* c = installPath; *c; ++c) {
    if (*c == '\\') *c = '/';
  }

  char baseUrl[kBaseUrlField] = {};
  appendCut(baseUrl, sizeof baseUrl, g_downloadHost);
  appendCut(baseUrl, sizeof baseUrl, "/");
  appendCut(baseUrl, sizeof baseUrl, installPath);
  std::memset(g_baseUrl, 0, sizeof g_baseUrl);
  std::memcpy(g_baseUrl, baseUrl, sizeof baseUrl);
  std::memset(g_imageUrl, 0, sizeof g_imageUrl);
  std::memcpy(g_imageUrl, imageUrl, sizeof imageUrl);
}
