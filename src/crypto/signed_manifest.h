// What an installer with a publisher key does with downloadgi.sig before it uses a
// single entry of downloadgi.txt, in one call: that it is a signature file at all, its
// form, the publisher's signature, the product's name and the manifest's SHA-256. The
// files' SHA-256 are then in `parsed` (findSignedFile), for the download and the
// launch to check.
#pragma once
#include <cstddef>
#include <string>

#include "crypto/publisher_key.h"
#include "crypto/signature_file.h"

// False with *reason, a sentence for the user's error box, when anything is wrong.
bool checkSignedManifest(const PublisherKey& key, const std::string& signatureText, const std::string& product,
                         const void* manifest, size_t manifestLength, SignatureFile* parsed, std::string* reason);
