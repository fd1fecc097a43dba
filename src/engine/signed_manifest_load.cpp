#include "engine/signed_manifest_load.h"

#include <windows.h>

#include <cstdlib>
#include <string>

#include "download/download_file.h"
#include "download/install_descriptor.h"
#include "download/manifest_loader.h"
#include "engine/download_file_writer.h"
#include "engine/engine_console.h"
#include "engine/engine_utilities.h"
#include "engine/package_signature.h"
#include "engine/signature_verification.h"
#include "win32/file_time.h"

namespace {

// One file of the package's folder on the server; false when the user gave it up.
bool fetchText(const char* name, std::string& text) {
  int size = 0;
  char* body = downloadFile(g_baseUrl, name, &size, nullptr, nullptr);
  if (!body) return false;
  text.assign(body, static_cast<size_t>(size));
  std::free(body);
  return true;
}

// On a first run the levels of the download root are not there yet (the analysis
// creates them again later, reporting each).
void createDownloadRoot() {
  const DownloadRootLevels levels = downloadRootLevels();
  for (const char* level : {levels.company, levels.downloaded, levels.product}) CreateDirectoryA(level, nullptr);
}

// Written whole or not at all, like a downloaded file; a failure is only reported:
// the download goes on, and a package without the pair is refused where it is needed.
void keepInDownloadRoot(const char* name, const std::string& text) {
  const std::string path = std::string(g_downloadRoot) + "\\" + name;
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  const FileWriteResult result =
      writeDownloadedFile(g_downloadRoot, path.c_str(), text.data(), text.size(), fileTimeValue(now));
  if (!result.written)
    consolePrintError(("Can't keep " + path + " : " + windowsErrorText(result.error, path) + "\n").c_str());
}

}  // namespace

RecordNode* loadSignedManifest() {
  std::string manifest, signature, reason;
  if (!fetchText("downloadgi.txt", manifest) || !fetchText("downloadgi.sig", signature)) return nullptr;
  if (!verifyPackageSignature(manifest, signature, SerialRule::refuseOlder, &reason)) refusePackage(reason);
  RecordNode* files = useManifestText(manifest.data(), static_cast<int>(manifest.size()), g_downloadRoot,
                                      g_baseUrl, consolePrintError);
  if (!files) return nullptr;
  if (!everyFileSigned(files, &reason)) refusePackage(reason);
  createDownloadRoot();
  keepInDownloadRoot("downloadgi.txt", manifest);
  keepInDownloadRoot("downloadgi.sig", signature);
  return files;
}
