// Parses the text of the install manifest ("downloadgi.txt") into file records and
// directory names. Platform-free: the caller shows any message.
#pragma once
#include "download/file_record.h"

enum class ManifestStatus {
  ok,             // lists appended to (possibly nothing)
  invalidHeader,  // first line is not "OK", or a name would leave the download root
};

// Appends every file entry to *files (FileRecord*) and every directory entry to
// *directories (char*), in manifest order. A refused manifest appends nothing.
ManifestStatus parseManifest(const char* text, int length, const char* downloadRoot,
                             const char* baseUrl, RecordNode** files,
                             RecordNode** directories);

// Frees lists built by parseManifest, records and names included. The program keeps
// its lists until it ends; tests and fuzzing release theirs.
void releaseManifestLists(RecordNode* files, RecordNode* directories);
