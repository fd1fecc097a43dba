// velmorin-manifest FOLDER: the folder's manifest, or the reasons why there is none;
// with --sign, its signature file too.
#include <cstdio>
#include <ctime>
#include <fstream>

#include "crypto/signature_file.h"
#include "file_digest.h"
#include "manifest_text.h"
#include "manifest_tool.h"
#include "signing_key.h"
#include "tool_flows.h"

namespace {

bool writeFileInOneStep(const std::string& path, const std::string& text, std::string* error) {
  // Written beside its place first, so that a server never hands out half a manifest.
  const std::string partial = path + ".part";
  {
    std::ofstream file(partial, std::ios::binary | std::ios::trunc);
    file << text;
    file.close();
    if (!file) {
      *error = "cannot be written";
      std::remove(partial.c_str());
      return false;
    }
  }
  if (replaceFile(partial, path, error)) return true;
  std::remove(partial.c_str());
  return false;
}

bool loadSigningKey(const ToolRun& run, SigningKey* key) {
  std::string pem, error;
  if (!readWholeFile(run.options.signingKey, &pem)) error = "cannot be read";
  else if (key->load(pem, &error)) return true;
  run.err << "velmorin-manifest: " << run.options.signingKey << ": " << error << "\n";
  return false;
}

// The signature file of the manifest text and the files' SHA-256, signed and checked
// with the installer's check before anything is written; empty with *error.
std::string signatureText(const ToolRun& run, const SigningKey& key, uint64_t serial, const FolderScan& scan,
                          const std::vector<Sha256Digest>& sha256, const std::string& manifest, std::string* error) {
  SignatureFile content;
  content.product = run.product;
  content.serial = serial;
  content.manifestSha256 = ::sha256(manifest.data(), manifest.size());
  for (size_t i = 0; i < scan.files.size(); ++i) content.files.push_back({scan.files[i].name, sha256[i]});
  std::string text;
  RawSignature signature;
  if (!signedPartText(content, &text, error) || !key.sign(text, &signature, error)) return {};
  if (!checkSignature(key.publicKey(), text, signature, error)) {
    *error = "the signature just made does not check: " + *error;
    return {};
  }
  return text + signatureLine(signature);
}

}  // namespace

uint64_t totalBytes(const FolderScan& scan) {
  uint64_t total = 0;
  for (const FolderEntry& file : scan.files) total += file.facts.size;
  return total;
}

void printEach(std::ostream& stream, const std::string& prefix, const std::vector<std::string>& lines) {
  // A control character in a name is shown as \xHH, so that every report stays one line.
  for (const std::string& line : lines) {
    stream << prefix;
    for (unsigned char c : line) {
      if (c < 0x20 || c == 0x7f) {
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
        stream << escaped;
      } else {
        stream << c;
      }
    }
    stream << "\n";
  }
}

int writeManifest(const ToolRun& run) {
  // 0. With --sign, the key comes first: nothing is read for a key that cannot sign.
  const bool signing = !run.options.signingKey.empty();
  SigningKey key;
  if (signing && !loadSigningKey(run, &key)) return kToolUnusable;

  // 1. Walk the folder, leaving out the manifest and signature about to be replaced.
  std::vector<PathFacts> previous(2);
  std::string error;
  readPathFacts(run.manifestPath, &previous[0], &error);
  readPathFacts(run.signaturePath, &previous[1], &error);
  const FolderScan scan = scanFolder(run.options.folder, previous);

  // 2. Refuse what the installer could not take, all of it at once, before reading a byte.
  std::vector<std::string> refusals = scan.problems;
  const std::vector<std::string> names = refusedNames(scan, run.roots);
  refusals.insert(refusals.end(), names.begin(), names.end());
  if (scan.files.empty() && scan.problems.empty())
    refusals.push_back(run.options.folder + ": no file to list; the installer refuses a manifest without files");
  printEach(run.err, "velmorin-manifest: refused: ", refusals);
  printEach(run.err, "velmorin-manifest: warning: ", namesToWarnAbout(scan, run.roots));
  if (!refusals.empty()) {
    run.err << "velmorin-manifest: no manifest written\n";
    return kToolRefused;
  }

  // 3. Digest every file, with its SHA-256 when signing.
  ProgressMeter progress(run.err, run.progressMode, totalBytes(scan), scan.files.size());
  std::vector<std::string> unreadable;
  std::vector<Sha256Digest> sha256;
  const std::vector<std::string> digests = digestFiles(scan, progress, &unreadable, signing ? &sha256 : nullptr);
  if (!unreadable.empty()) {
    printEach(run.err, "velmorin-manifest: refused: ", unreadable);
    run.err << "velmorin-manifest: no manifest written\n";
    return kToolRefused;
  }

  // 4. Sign the manifest's text and the files' digests.
  const std::string manifest = manifestText(scan, digests);
  const uint64_t serial = run.options.serialGiven ? run.options.serial : static_cast<uint64_t>(std::time(nullptr));
  const std::string signature = signing ? signatureText(run, key, serial, scan, sha256, manifest, &error) : "";
  if (signing && signature.empty()) {
    run.err << "velmorin-manifest: " << run.options.signingKey << ": " << error << "\n";
    return kToolUnusable;
  }

  // 5. Write the manifest, then its signature, each in one step.
  if (!writeFileInOneStep(run.manifestPath, manifest, &error)) {
    run.err << "velmorin-manifest: " << run.manifestPath << ": " << error << "\n";
    return kToolUnusable;
  }
  run.out << "wrote " << run.manifestPath << ": " << scan.directories.size() << " directories, "
          << scan.files.size() << " files, " << totalBytes(scan) << " bytes\n";
  if (signing) {
    if (!writeFileInOneStep(run.signaturePath, signature, &error)) {
      run.err << "velmorin-manifest: " << run.signaturePath << ": " << error << "\n";
      return kToolUnusable;
    }
    run.out << "wrote " << run.signaturePath << ": " << run.product << ", serial " << serial << "\n";
  } else if (previous[1].kind != PathKind::missing) {
    run.err << "velmorin-manifest: warning: " << run.signaturePath
            << " was made for an earlier manifest; sign again (--sign) or remove it\n";
  }
  return kToolDone;
}
