#include "crypto/signature_check.h"

#include <cstring>

#include "crypto/bcrypt_handles.h"
#include "crypto/sha256.h"

bool verifySignature(const PublisherKey& key, const void* message, size_t length, const RawSignature& signature,
                     std::string* reason) {
  AlgorithmProvider provider;
  NTSTATUS status = BCryptOpenAlgorithmProvider(&provider.handle, BCRYPT_ECDSA_P256_ALGORITHM, nullptr, 0);
  if (status != 0) {
    *reason = bcryptStatusText("ECDSA P-256 is not available from BCrypt", status);
    return false;
  }

  // BCRYPT_ECCPUBLIC_BLOB: the header, then X and Y.
  unsigned char blob[sizeof(BCRYPT_ECCKEY_BLOB) + 64];
  BCRYPT_ECCKEY_BLOB header{BCRYPT_ECDSA_PUBLIC_P256_MAGIC, 32};
  std::memcpy(blob, &header, sizeof header);
  std::memcpy(blob + sizeof header, key.point.data(), 64);
  KeyHandle publicKey;
  status = BCryptImportKeyPair(provider.handle, nullptr, BCRYPT_ECCPUBLIC_BLOB, &publicKey.handle, blob,
                               sizeof blob, 0);
  if (status != 0) {
    *reason = bcryptStatusText("the publisher's key is refused by BCrypt", status);
    return false;
  }

  Sha256Digest digest = sha256(message, length);
  RawSignature copy = signature;  // BCrypt's prototype takes non-const buffers
  status = BCryptVerifySignature(publicKey.handle, nullptr, digest.data(), static_cast<ULONG>(digest.size()),
                                 copy.data(), static_cast<ULONG>(copy.size()), 0);
  if (status == 0) return true;
  *reason = status == kStatusInvalidSignature ? "the signature is not the publisher's"
                                        : bcryptStatusText("the signature cannot be checked", status);
  return false;
}
