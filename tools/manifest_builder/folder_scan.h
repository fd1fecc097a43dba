// Walks a product folder and gathers what its manifest lists.
#pragma once
#include <string>
#include <vector>

#include "folder_access.h"

struct FolderEntry {
  std::string name;     // as in the manifest: backslashes, a directory ends with one
  std::string ownName;  // the last component, as the file system gives it
  std::string path;     // for the platform's calls
  PathFacts facts;
};

struct FolderScan {
  std::vector<FolderEntry> directories;  // sorted byte-wise by name: parents come first
  std::vector<FolderEntry> files;        // sorted byte-wise by name
  std::vector<std::string> problems;     // "name: reason" for what cannot be listed
};

// The manifest's own file name and its signature's; the ones at the top of the folder
// are never listed.
extern const char kManifestFileName[];
extern const char kSignatureFileName[];

// Walks `root`, following symbolic links; a directory that leads back to one of its
// own parents is a problem, not a loop. Files that are one of `skip` (the manifest and
// signature being written or read, wherever they lie) are left out.
FolderScan scanFolder(const std::string& root, const std::vector<PathFacts>& skip);

bool isSameNode(const PathFacts& a, const PathFacts& b);
