// velmorin-manifest --check FOLDER: every way the folder differs from its manifest,
// read by the installer's own parser; with --key, from its signature file too.
#include <fstream>
#include <iterator>

#include "download/manifest_parser.h"
#include "file_digest.h"
#include "manifest_compare.h"
#include "manifest_tool.h"
#include "signature_compare.h"
#include "tool_flows.h"

namespace {

bool loadPublicKey(const ToolRun& run, PublisherKey* key) {
  std::string pem, reason = "cannot be read";
  if (readWholeFile(run.options.checkKey, &pem) && parsePublisherKeyPem(pem.data(), pem.size(), key, &reason))
    return true;
  run.err << "velmorin-manifest: " << run.options.checkKey << ": " << reason << "\n";
  return false;
}

}  // namespace

bool readWholeFile(const std::string& path, std::string* text) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return false;
  text->assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  return !file.bad();
}

int checkManifest(const ToolRun& run) {
  // 0. With --key, the key comes first.
  const bool signedFolder = !run.options.checkKey.empty();
  PublisherKey key;
  if (signedFolder && !loadPublicKey(run, &key)) return kToolUnusable;

  // 1. Read the manifest as the installer does; the download root is the shortest one,
  //    so that every name the builder writes is taken.
  std::string text;
  if (!readWholeFile(run.manifestPath, &text) || text.size() > 0x7FFFFFFF) {
    run.err << "velmorin-manifest: " << run.manifestPath << ": cannot be read\n";
    return kToolUnusable;
  }
  RecordNode* files = nullptr;
  RecordNode* directories = nullptr;
  ManifestRefusal refusal;
  if (parseManifest(text.data(), static_cast<int>(text.size()), run.roots.shortest.c_str(), "", &files,
                    &directories, &refusal) != ManifestStatus::ok) {
    run.err << "velmorin-manifest: " << run.manifestPath << ": the installer refuses it: " << refusal.entry << ": "
            << refusal.reason << "\n";
    return kToolRefused;
  }

  // 2. Walk and digest the folder, leaving out the manifest and its signature.
  std::vector<PathFacts> skipped(2);
  std::string error;
  readPathFacts(run.manifestPath, &skipped[0], &error);
  readPathFacts(run.signaturePath, &skipped[1], &error);
  const FolderScan scan = scanFolder(run.options.folder, skipped);
  ProgressMeter progress(run.err, run.progressMode, totalBytes(scan), scan.files.size());
  std::vector<std::string> unreadable = scan.problems;
  std::vector<Sha256Digest> sha256;
  const std::vector<std::string> digests =
      digestFiles(scan, progress, &unreadable, signedFolder ? &sha256 : nullptr);

  // 3. List every difference, from the manifest and from the signature.
  std::vector<std::string> differences = manifestDifferences(files, directories, scan, digests);
  if (signedFolder) {
    std::string signature;
    std::vector<std::string> signatureLines = {"signature file cannot be read: " + run.signaturePath};
    if (readWholeFile(run.signaturePath, &signature))
      signatureLines = signatureDifferences({signature, run.product, text, files, scan, digests, sha256}, key);
    differences.insert(differences.end(), signatureLines.begin(), signatureLines.end());
  }
  releaseManifestLists(files, directories);
  printEach(run.err, "velmorin-manifest: cannot compare: ", unreadable);
  printEach(run.out, "", differences);
  const size_t count = differences.size() + unreadable.size();
  if (count != 0) {
    run.out << count << (count == 1 ? " difference" : " differences") << " from " << run.manifestPath << "\n";
    return kToolRefused;
  }
  run.out << "matches " << run.manifestPath << ": " << scan.directories.size() << " directories, "
          << scan.files.size() << " files\n";
  return kToolDone;
}
