// Compares a folder with the lists the installer's parser made of its manifest.
#pragma once
#include <string>
#include <vector>

#include "download/record_list.h"
#include "folder_scan.h"

// One line per difference: entries missing from the folder or not in the manifest,
// files whose digest, size or last-write time differ, and manifest entries the
// installer could not place (listed twice, or before their directory). Empty when
// the folder is what the manifest describes. `digests` follows scan.files.
std::vector<std::string> manifestDifferences(RecordNode* files, RecordNode* directories,
                                             const FolderScan& scan,
                                             const std::vector<std::string>& digests);
