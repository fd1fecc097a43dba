// Parses the text of the install manifest ("downloadgi.txt") into file records and
// directory names. Platform-free: the caller shows any message.
#pragma once
#include <string>

#include "download/file_record.h"

enum class ManifestStatus {
  ok,             // lists appended to (possibly nothing)
  invalidHeader,  // refused: the first line is not "OK", or an entry breaks a rule
};

// Why a manifest was refused: the entry (its name, or where it stands when it has
// none) and the rule it broke.
struct ManifestRefusal {
  std::string entry;
  std::string reason;
};

// Appends every file entry to *files (FileRecord*) and every directory entry to
// *directories (char*), in manifest order. A refused manifest appends nothing and
// tells why through `refusal` when one is given. An entry is refused for a name that
// breaks the rules of manifest_names.h, is too long for the local path under
// `downloadRoot`, or is a duplicate of an earlier one; for a size that is negative or
// does not fit in 64 bits (sizes are read as decimal numbers, never clamped); and for
// a blank name line followed by a digest-and-size line (a file entry without a name).
// Other blank lines between entries and at the end are left out.
ManifestStatus parseManifest(const char* text, int length, const char* downloadRoot,
                             const char* baseUrl, RecordNode** files,
                             RecordNode** directories, ManifestRefusal* refusal = nullptr);

// Frees lists built by parseManifest, records and names included. The program keeps
// its lists until it ends; tests and fuzzing release theirs.
void releaseManifestLists(RecordNode* files, RecordNode* directories);
