#include "download/manifest_loader.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "download/download_errors.h"
#include "download/download_file.h"
#include "download/manifest_parser.h"

RecordNode* loadManifest(const char* downloadRoot, const char* baseUrl, RefusalReport report) {
  CreateDirectoryA(downloadRoot, nullptr);  // may exist already; a failure shows later
  int size = 0;
  char* text = downloadFile(baseUrl, "downloadgi.txt", &size, nullptr, nullptr);
  if (!text) return nullptr;
  RecordNode* files = useManifestText(text, size, downloadRoot, baseUrl, report);
  std::free(text);
  return files;
}

RecordNode* useManifestText(const char* text, int size, const char* downloadRoot, const char* baseUrl,
                            RefusalReport report) {
  ManifestRefusal refusal;
  ManifestStatus status =
      parseManifest(text, size, downloadRoot, baseUrl, &g_fileList, &g_directoryList, &refusal);
  if (status != ManifestStatus::ok) {
    const std::string line = "Install manifest refused: " + refusal.entry + ": " + refusal.reason + "\n";
    std::fputs(line.c_str(), stdout);  // the download service's trace
    std::fflush(stdout);
    if (report) report(line.c_str());
    showUtilityError("Location is unavailable or invalid header file downloaded");
    return nullptr;
  }
  return g_fileList;
}
