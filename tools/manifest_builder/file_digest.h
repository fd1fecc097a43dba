// Digests of the files of a product folder, read in pieces so that no file is held
// whole in memory.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "folder_scan.h"
#include "progress_meter.h"

// The digest text of every file of `scan`, in its order. A file that cannot be read,
// or whose length changed since the folder was walked, adds "name: reason" to
// *problems and an empty digest.
std::vector<std::string> digestFiles(const FolderScan& scan, ProgressMeter& progress,
                                     std::vector<std::string>* problems);
