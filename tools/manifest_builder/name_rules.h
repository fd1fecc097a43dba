// What the installer would refuse or mishandle in a product folder, found before the
// manifest is written.
#pragma once
#include <string>
#include <vector>

#include "folder_scan.h"

// Download folders the installer could form for a product: the shortest any machine
// can give, and one that is usual on a desktop with a long user name.
struct DownloadRoots {
  std::string shortest;
  std::string typical;
};
DownloadRoots downloadRootsFor(const std::string& productName);

// "name: reason" for every entry the installer would refuse; empty when all are fine.
std::vector<std::string> refusedNames(const FolderScan& scan, const DownloadRoots& roots);

// "name: reason" for entries the installer takes but that may fail on some machines.
std::vector<std::string> namesToWarnAbout(const FolderScan& scan, const DownloadRoots& roots);
