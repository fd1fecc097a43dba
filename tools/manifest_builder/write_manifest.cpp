// velmorin-manifest FOLDER: the folder's manifest, or the reasons why there is none.
#include <cstdio>
#include <fstream>

#include "file_digest.h"
#include "manifest_text.h"
#include "manifest_tool.h"
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
  // 1. Walk the folder, leaving out the manifest that is about to be replaced.
  PathFacts previous;
  std::string error;
  readPathFacts(run.manifestPath, &previous, &error);
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

  // 3. Digest every file.
  ProgressMeter progress(run.err, run.progressMode, totalBytes(scan), scan.files.size());
  std::vector<std::string> unreadable;
  const std::vector<std::string> digests = digestFiles(scan, progress, &unreadable);
  if (!unreadable.empty()) {
    printEach(run.err, "velmorin-manifest: refused: ", unreadable);
    run.err << "velmorin-manifest: no manifest written\n";
    return kToolRefused;
  }

  // 4. Write the manifest in one step.
  if (!writeFileInOneStep(run.manifestPath, manifestText(scan, digests), &error)) {
    run.err << "velmorin-manifest: " << run.manifestPath << ": " << error << "\n";
    return kToolUnusable;
  }
  run.out << "wrote " << run.manifestPath << ": " << scan.directories.size() << " directories, "
          << scan.files.size() << " files, " << totalBytes(scan) << " bytes\n";
  return kToolDone;
}
