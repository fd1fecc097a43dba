// Parses the text of the install manifest ("downloadgi.txt") into file records and
// directory names. Platform-free: the caller shows any message.
#pragma once
#include "download/file_record.h"

enum class ManifestStatus {
  ok,             // lists appended to (possibly nothing)
  invalidHeader,  // first line is not "OK", or a name would leave the download root
};

// Appends every file entry to *files (FileRecord*) and every directory entry to
// *directories (char*), in manifest order.
ManifestStatus parseManifest(const char* text, int length, const char* downloadRoot,
                             const char* baseUrl, RecordNode** files,
                             RecordNode** directories);
