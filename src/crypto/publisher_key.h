// The publisher's public key: an ECDSA key on the curve P-256, as a PEM file of
// SubjectPublicKeyInfo ("-----BEGIN PUBLIC KEY-----", what `openssl pkey -pubout` and
// `velmorin-manifest keygen` write).
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The key's point: X then Y, 32 big-endian bytes each.
struct PublisherKey {
  std::array<uint8_t, 64> point{};
};

// Takes exactly one ECDSA P-256 key with an uncompressed point, with nothing but
// white space around the PEM lines; anything else is refused with *reason (another
// algorithm or curve, a compressed point, a private key, bytes after the key...).
bool parsePublisherKeyPem(const char* text, size_t size, PublisherKey* key, std::string* reason);

// The key as DER SubjectPublicKeyInfo (91 bytes), for libraries that import that form.
std::vector<uint8_t> publisherKeyDer(const PublisherKey& key);

// The key as the PEM file above, as OpenSSL writes it.
std::string publisherKeyPem(const PublisherKey& key);

// A PEM file longer than this is refused unread.
constexpr size_t kPublisherKeyPemMaximum = 16 * 1024;
