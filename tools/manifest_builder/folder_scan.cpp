#include "folder_scan.h"

#include <algorithm>

const char kManifestFileName[] = "downloadgi.txt";
const char kSignatureFileName[] = "downloadgi.sig";

namespace {

struct Walk {
  const std::vector<PathFacts>& skip;
  FolderScan scan;
  std::vector<PathFacts> openDirectories;  // from the root down to the current one
};

bool byName(const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; }

void walkDirectory(Walk& walk, const std::string& path, const std::string& prefix);

// One name found in a directory: a file to list, a directory to list and enter, or
// a problem.
void takeEntry(Walk& walk, const std::string& directoryPath, const std::string& prefix,
               const std::string& ownName) {
  FolderEntry entry;
  entry.ownName = ownName;
  entry.name = prefix + ownName;
  entry.path = directoryPath + kPathSeparator + ownName;
  std::string error;
  if (!readPathFacts(entry.path, &entry.facts, &error)) {
    walk.scan.problems.push_back(entry.name + ": " + error);
    return;
  }
  switch (entry.facts.kind) {
    case PathKind::file:
      for (const PathFacts& skipped : walk.skip)
        if (isSameNode(entry.facts, skipped)) return;
      walk.scan.files.push_back(entry);
      return;
    case PathKind::directory:
      for (const PathFacts& open : walk.openDirectories) {
        if (isSameNode(open, entry.facts)) {
          walk.scan.problems.push_back(entry.name + ": a link that leads back into a folder above it");
          return;
        }
      }
      entry.name += '\\';
      walk.scan.directories.push_back(entry);
      walk.openDirectories.push_back(entry.facts);
      walkDirectory(walk, entry.path, entry.name);
      walk.openDirectories.pop_back();
      return;
    case PathKind::brokenLink:
      walk.scan.problems.push_back(entry.name + ": a link whose target is missing");
      return;
    case PathKind::missing:
      walk.scan.problems.push_back(entry.name + ": vanished while the folder was read");
      return;
    case PathKind::other:
      walk.scan.problems.push_back(entry.name + ": neither a file nor a directory");
      return;
  }
}

void walkDirectory(Walk& walk, const std::string& path, const std::string& prefix) {
  std::vector<std::string> names;
  std::string error;
  if (!listDirectory(path, &names, &error)) {
    walk.scan.problems.push_back((prefix.empty() ? "." : prefix) + ": " + error);
    return;
  }
  for (const std::string& name : names) {
    if (prefix.empty() && (name == kManifestFileName || name == kSignatureFileName)) continue;
    takeEntry(walk, path, prefix, name);
  }
}

}  // namespace

bool isSameNode(const PathFacts& a, const PathFacts& b) {
  return a.kind != PathKind::missing && a.kind == b.kind && a.volume == b.volume && a.node == b.node;
}

FolderScan scanFolder(const std::string& root, const std::vector<PathFacts>& skip) {
  Walk walk{skip, {}, {}};
  PathFacts rootFacts;
  std::string error;
  if (!readPathFacts(root, &rootFacts, &error)) {
    walk.scan.problems.push_back(root + ": " + error);
  } else if (rootFacts.kind != PathKind::directory) {
    walk.scan.problems.push_back(root + ": not a folder");
  } else {
    walk.openDirectories.push_back(rootFacts);
    walkDirectory(walk, root, "");
  }
  std::sort(walk.scan.directories.begin(), walk.scan.directories.end(), byName);
  std::sort(walk.scan.files.begin(), walk.scan.files.end(), byName);
  return walk.scan;
}
