#include "crypto/signature_check.h"

#include <windows.h>

#include <bcrypt.h>

#include <cstdio>
#include <cstring>

#include "crypto/sha256.h"

namespace {

// Owners of the two BCrypt handles (local until the shared handle owners of the
// Windows plumbing take their place).
struct AlgorithmProvider {
  BCRYPT_ALG_HANDLE handle = nullptr;
  ~AlgorithmProvider() {
    if (handle) BCryptCloseAlgorithmProvider(handle, 0);
  }
};

struct KeyHandle {
  BCRYPT_KEY_HANDLE handle = nullptr;
  ~KeyHandle() {
    if (handle) BCryptDestroyKey(handle);
  }
};

std::string statusText(const char* what, NTSTATUS status) {
  char text[96];
  std::snprintf(text, sizeof text, "%s (status 0x%08lX)", what, static_cast<unsigned long>(status));
  return text;
}

constexpr NTSTATUS kInvalidSignature = static_cast<NTSTATUS>(0xC000A000L);  // STATUS_INVALID_SIGNATURE

}  // namespace

bool verifySignature(const PublisherKey& key, const void* message, size_t length, const RawSignature& signature,
                     std::string* reason) {
  AlgorithmProvider provider;
  NTSTATUS status = BCryptOpenAlgorithmProvider(&provider.handle, BCRYPT_ECDSA_P256_ALGORITHM, nullptr, 0);
  if (status != 0) {
    *reason = statusText("ECDSA P-256 is not available from BCrypt", status);
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
    *reason = statusText("the publisher's key is refused by BCrypt", status);
    return false;
  }

  Sha256Digest digest = sha256(message, length);
  RawSignature copy = signature;  // BCrypt's prototype takes non-const buffers
  status = BCryptVerifySignature(publicKey.handle, nullptr, digest.data(), static_cast<ULONG>(digest.size()),
                                 copy.data(), static_cast<ULONG>(copy.size()), 0);
  if (status == 0) return true;
  *reason = status == kInvalidSignature ? "the signature is not the publisher's"
                                        : statusText("the signature cannot be checked", status);
  return false;
}
