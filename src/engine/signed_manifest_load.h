// Modes 0 and 1 of a program with a publisher key: downloadgi.txt and then
// downloadgi.sig are fetched as the manifest alone is without a key (the same retry
// question), the signature is checked before a single entry is used, and only then
// are the lists built. The checked pair is kept in the download root, so that a
// package taken from there (mode 2, a rescue package) carries it.
#pragma once
#include "download/file_record.h"

// The file list; nullptr when the user gave up a download or the manifest was
// refused as a manifest. A package that fails the signature check is refused
// (refusePackage): nothing of it is used or written.
RecordNode* loadSignedManifest();
