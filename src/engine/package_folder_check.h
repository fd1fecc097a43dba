// A signed package on the user's own disk, checked offline before its installer
// library is used: the folder of mode 2, or the pack\ of a rescue package. Its
// downloadgi.txt and downloadgi.sig must verify against the program's key, and every
// file of the manifest must match its MD5 digest and its signed SHA-256. Any serial
// is taken (restoring an older release is what such a package is for), and the
// remembered serial is never lowered.
#pragma once
#include <string>

// False with the reason, a sentence for the user.
bool verifyPackageFolder(const std::string& root, std::string* reason);

// The same, with a failure refused (refusePackage): the process ends with -1.
void requireVerifiedPackageFolder(const std::string& root);
