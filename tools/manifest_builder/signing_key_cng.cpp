// Keys and signatures with Windows' CNG (BCrypt), for the Windows build. The key files
// are the same PKCS#8 and SubjectPublicKeyInfo PEM files as OpenSSL's.
#include <cstring>

#include "crypto/bcrypt_handles.h"
#include "crypto/private_key.h"
#include "crypto/sha256.h"
#include "crypto/signature_check.h"
#include "signing_key.h"

namespace {

// BCRYPT_ECCPRIVATE_BLOB of P-256: the header, then X, Y and the secret scalar.
struct PrivateBlob {
  BCRYPT_ECCKEY_BLOB header{BCRYPT_ECDSA_PRIVATE_P256_MAGIC, 32};
  unsigned char x[32], y[32], d[32];
};
static_assert(sizeof(PrivateBlob) == sizeof(BCRYPT_ECCKEY_BLOB) + 96, "the blob has no padding");

bool openProvider(AlgorithmProvider* provider, std::string* error) {
  const NTSTATUS status = BCryptOpenAlgorithmProvider(&provider->handle, BCRYPT_ECDSA_P256_ALGORITHM, nullptr, 0);
  if (status == 0) return true;
  *error = bcryptStatusText("ECDSA P-256 is not available from BCrypt", status);
  return false;
}

}  // namespace

struct SigningKey::Held {
  PrivateKey key;
};

SigningKey::SigningKey() : held_(new Held) {}
SigningKey::~SigningKey() { SecureZeroMemory(held_->key.scalar.data(), held_->key.scalar.size()); }

bool generateKeyPair(std::string* privatePem, std::string* publicPem, std::string* error) {
  AlgorithmProvider provider;
  if (!openProvider(&provider, error)) return false;
  KeyHandle key;
  PrivateBlob blob;
  ULONG written = 0;
  NTSTATUS status = BCryptGenerateKeyPair(provider.handle, &key.handle, 256, 0);
  if (status == 0) status = BCryptFinalizeKeyPair(key.handle, 0);
  if (status == 0)
    status = BCryptExportKey(key.handle, nullptr, BCRYPT_ECCPRIVATE_BLOB, reinterpret_cast<PUCHAR>(&blob),
                             sizeof blob, &written, 0);
  if (status != 0 || written != sizeof blob) {
    *error = bcryptStatusText("no key pair could be made", status);
    return false;
  }
  PrivateKey pair;
  std::memcpy(pair.scalar.data(), blob.d, 32);
  std::memcpy(pair.publicKey.point.data(), blob.x, 32);
  std::memcpy(pair.publicKey.point.data() + 32, blob.y, 32);
  *privatePem = privateKeyPem(pair);
  *publicPem = publisherKeyPem(pair.publicKey);
  SecureZeroMemory(&blob, sizeof blob);
  SecureZeroMemory(pair.scalar.data(), pair.scalar.size());
  return true;
}

bool SigningKey::load(const std::string& pem, std::string* error) {
  if (!parsePrivateKeyPem(pem.data(), pem.size(), &held_->key, error)) return false;
  publicKey_ = held_->key.publicKey;
  return true;
}

bool SigningKey::sign(const std::string& message, RawSignature* signature, std::string* error) const {
  AlgorithmProvider provider;
  if (!openProvider(&provider, error)) return false;
  PrivateBlob blob;
  std::memcpy(blob.x, held_->key.publicKey.point.data(), 32);
  std::memcpy(blob.y, held_->key.publicKey.point.data() + 32, 32);
  std::memcpy(blob.d, held_->key.scalar.data(), 32);
  KeyHandle key;
  NTSTATUS status = BCryptImportKeyPair(provider.handle, nullptr, BCRYPT_ECCPRIVATE_BLOB, &key.handle,
                                        reinterpret_cast<PUCHAR>(&blob), sizeof blob, 0);
  SecureZeroMemory(&blob, sizeof blob);
  if (status != 0) {
    *error = bcryptStatusText("BCrypt refuses the private key", status);
    return false;
  }
  Sha256Digest digest = sha256(message.data(), message.size());
  ULONG written = 0;
  status = BCryptSignHash(key.handle, nullptr, digest.data(), static_cast<ULONG>(digest.size()), signature->data(),
                          static_cast<ULONG>(signature->size()), &written, 0);
  if (status != 0 || written != signature->size()) {
    *error = bcryptStatusText("signing failed", status);
    return false;
  }
  return true;
}

bool checkSignature(const PublisherKey& key, const std::string& message, const RawSignature& signature,
                    std::string* reason) {
  return verifySignature(key, message.data(), message.size(), signature, reason);
}
