// The manifest's text, line for line as the installer reads it.
#pragma once
#include <string>
#include <vector>

#include "folder_scan.h"

// "OK", every directory, then every file as four lines (name; digest, "|", size; the
// low and the high 32 bits of its last-write time), each line ended by CR LF.
// `digests` follows the order of scan.files.
std::string manifestText(const FolderScan& scan, const std::vector<std::string>& digests);
