// The publisher's signature as the engine holds it. A program built with a publisher
// key checks every package against that key: downloadgi.sig before a single entry of
// downloadgi.txt is used, every file against its signed SHA-256 as well as its MD5
// digest, and the installer library once more right before it is loaded. A program
// without a key does none of this and behaves as it always did.
#pragma once
#include <string>

#include "crypto/publisher_key.h"
#include "crypto/signature_file.h"
#include "download/file_digests.h"
#include "download/file_record.h"

struct PackageSignature {
  bool required = false;  // the program carries a publisher key
  PublisherKey key;
  bool verified = false;  // `file` is the checked downloadgi.sig of the package at hand
  SignatureFile file;
};
extern PackageSignature g_packageSignature;

// Takes the key built into the program (raw data 459). A key that is there but
// cannot be used refuses the run: a signed program never goes on unsigned.
void loadPublisherKey();

// The checked downloadgi.sig's entry for `name`; nullptr when it lists no such file
// or no signature has been checked.
const SignedFile* checkedSignedFile(const std::string& name);

// The digests are the record's: its MD5 digest text and, in a signed program, its
// signed SHA-256 too (a file the checked signature does not list matches nothing).
bool digestsMatchRecord(const FileRecord& record, const FileDigestResult& digests);

// The refusal on the console in red (and so in the log) and in an error box owned by
// the main window, saying what was wrong, that nothing was installed and where the
// log is; then the process ends with -1.
[[noreturn]] void refusePackage(const std::string& reason);
