// The check of a package's downloadgi.sig, for every way a signed program comes to a
// package: downloaded (modes 0 and 1) or on the user's own disk (mode 2, the rescue
// setup program).
#pragma once
#include <string>

#include "download/file_record.h"

// What a check accepts as the release's serial.
enum class SerialRule {
  refuseOlder,  // a download: a serial below the highest one seen is an old release replayed
  anyRelease,   // a package on the user's own disk: restoring an older release is its purpose
};

// Checks the signature file against the program's key and product: its form, the
// publisher's signature, the product's name, the manifest's SHA-256 and, as `rule`
// says, the serial. On success it becomes the verified signature of the package and
// the remembered serial is raised to it (never lowered). False with the reason, a
// sentence for the user.
bool verifyPackageSignature(const std::string& manifest, const std::string& signature, SerialRule rule,
                            std::string* reason);

// Every file of the list has a signed SHA-256; false naming the first without one.
bool everyFileSigned(RecordNode* files, std::string* reason);
