#include "engine/package_folder_check.h"

#include <windows.h>

#include <vector>

#include "crypto/signature_file.h"
#include "download/manifest_parser.h"
#include "engine/engine_console.h"
#include "engine/local_file_digests.h"
#include "engine/package_signature.h"
#include "engine/signature_verification.h"
#include "win32/whole_file.h"

namespace {

// A missing or unreadable file reads as empty: the checks then say what is wrong.
std::string packageText(const std::string& root, const char* name) {
  std::vector<char> bytes;
  readWholeFile((root + "\\" + name).c_str(), FILE_SHARE_READ, kSignatureFileMaximum, bytes);
  return std::string(bytes.begin(), bytes.end());
}

bool everyFileMatches(RecordNode* files, std::string* reason) {
  LocalFileDigests local(files, true, FILE_SHARE_READ);
  for (RecordNode* node = files; node; node = node->next) {
    const FileRecord& record = *static_cast<const FileRecord*>(node->item);
    const LocalFileDigests::File file = local.next();
    if (!file.read || !digestsMatchRecord(record, file.digests)) {
      *reason = std::string("The file ") + record.localPath + " is missing or not the one the publisher signed.";
      return false;
    }
  }
  return true;
}

}  // namespace

bool verifyPackageFolder(const std::string& root, std::string* reason) {
  consolePrint(("Checking the signed package in " + root + " ...\n").c_str());
  const std::string manifest = packageText(root, "downloadgi.txt");
  if (!verifyPackageSignature(manifest, packageText(root, "downloadgi.sig"), SerialRule::anyRelease, reason))
    return false;
  RecordNode* files = nullptr;
  RecordNode* directories = nullptr;
  ManifestRefusal refusal;
  bool sound = parseManifest(manifest.data(), static_cast<int>(manifest.size()), root.c_str(), "", &files,
                             &directories, &refusal) == ManifestStatus::ok;
  if (!sound) *reason = "The install manifest downloadgi.txt is refused: " + refusal.entry + ": " + refusal.reason + ".";
  sound = sound && everyFileSigned(files, reason) && everyFileMatches(files, reason);
  releaseManifestLists(files, directories);
  return sound;
}

void requireVerifiedPackageFolder(const std::string& root) {
  std::string reason;
  if (!verifyPackageFolder(root, &reason)) refusePackage(reason);
  consolePrint("Signed package verified.\n");
}
