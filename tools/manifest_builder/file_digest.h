// Digests of the files of a product folder, read in pieces so that no file is held
// whole in memory.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "crypto/sha256.h"
#include "folder_scan.h"
#include "progress_meter.h"

// The MD5 digest text of every file of `scan`, in its order, and with `sha256` each
// file's SHA-256 as well, from the same read. A file that cannot be read, or whose
// length changed since the folder was walked, adds "name: reason" to *problems and
// an empty digest text.
std::vector<std::string> digestFiles(const FolderScan& scan, ProgressMeter& progress,
                                     std::vector<std::string>* problems,
                                     std::vector<Sha256Digest>* sha256 = nullptr);
