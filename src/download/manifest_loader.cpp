#include "download/manifest_loader.h"

#include <windows.h>

#include <cstdlib>

#include "download/download_errors.h"
#include "download/download_file.h"
#include "download/manifest_parser.h"

RecordNode* loadManifest(const char* downloadRoot, const char* baseUrl) {
  CreateDirectoryA(downloadRoot, nullptr);  // may exist already; a failure shows later
  int size = 0;
  char* text = downloadFile(baseUrl, "downloadgi.txt", &size, nullptr, nullptr);
  if (!text) return nullptr;
  ManifestStatus status =
      parseManifest(text, size, downloadRoot, baseUrl, &g_fileList, &g_directoryList);
  std::free(text);
  if (status != ManifestStatus::ok) {
    showUtilityError("Location is unavailable or invalid header file downloaded");
    return nullptr;
  }
  return g_fileList;
}
