// Checks an ECDSA P-256 signature with Windows' CNG (BCrypt): the signature over the
// SHA-256 of `message`, against the publisher's key. No curve arithmetic of our own.
#pragma once
#include <cstddef>
#include <string>

#include "crypto/ecdsa_signature.h"
#include "crypto/publisher_key.h"

// True when the signature is the key's over the message; false with *reason when it
// is not, or when BCrypt refuses the key.
bool verifySignature(const PublisherKey& key, const void* message, size_t length, const RawSignature& signature,
                     std::string* reason);
