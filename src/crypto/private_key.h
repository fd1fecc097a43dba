// The publisher's private key as an unencrypted PKCS#8 PEM file ("-----BEGIN PRIVATE
// KEY-----"), in the form `openssl genpkey -algorithm EC -pkeyopt
// ec_paramgen_curve:P-256` writes: the secret scalar with the public point beside it.
// Read and written by the publisher's tool only; the installer never holds one.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "crypto/publisher_key.h"

struct PrivateKey {
  std::array<uint8_t, 32> scalar{};  // big-endian
  PublisherKey publicKey;
};

// A P-256 key with its public point; false with *reason for anything else (another
// curve, an encrypted or SEC1 file, a key without its public point...).
bool parsePrivateKeyPem(const char* text, size_t size, PrivateKey* key, std::string* reason);

std::string privateKeyPem(const PrivateKey& key);
