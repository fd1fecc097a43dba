// velmorin-manifest --check FOLDER: every way the folder differs from its manifest,
// read by the installer's own parser.
#include <fstream>
#include <iterator>

#include "download/manifest_parser.h"
#include "file_digest.h"
#include "manifest_compare.h"
#include "manifest_tool.h"
#include "tool_flows.h"

namespace {

bool readWholeFile(const std::string& path, std::string* text) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return false;
  text->assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  return !file.bad();
}

}  // namespace

int checkManifest(const ToolRun& run) {
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

  // 2. Walk and digest the folder, leaving out the manifest itself.
  PathFacts manifestFacts;
  std::string error;
  readPathFacts(run.manifestPath, &manifestFacts, &error);
  const FolderScan scan = scanFolder(run.options.folder, manifestFacts);
  ProgressMeter progress(run.err, run.progressMode, totalBytes(scan), scan.files.size());
  std::vector<std::string> unreadable = scan.problems;
  const std::vector<std::string> digests = digestFiles(scan, progress, &unreadable);

  // 3. List every difference.
  std::vector<std::string> differences = manifestDifferences(files, directories, scan, digests);
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
