// The publisher's side of signatures: new key pairs, signing with a private key, and
// checking a signature. OpenSSL's libcrypto in the native build
// (signing_key_openssl.cpp), Windows' CNG in the Windows build (signing_key_cng.cpp),
// whose check is the installer's own.
#pragma once
#include <memory>
#include <string>

#include "crypto/ecdsa_signature.h"
#include "crypto/publisher_key.h"

// A new ECDSA P-256 pair: the private key as PKCS#8 PEM, the public one as
// SubjectPublicKeyInfo PEM.
bool generateKeyPair(std::string* privatePem, std::string* publicPem, std::string* error);

class SigningKey {
 public:
  SigningKey();
  ~SigningKey();
  SigningKey(const SigningKey&) = delete;
  SigningKey& operator=(const SigningKey&) = delete;

  // False with *error unless `pem` is an unencrypted ECDSA P-256 private key.
  bool load(const std::string& pem, std::string* error);
  // ECDSA over the SHA-256 of `message`.
  bool sign(const std::string& message, RawSignature* signature, std::string* error) const;
  const PublisherKey& publicKey() const { return publicKey_; }

 private:
  struct Held;
  std::unique_ptr<Held> held_;
  PublisherKey publicKey_;
};

// True when `signature` is `key`'s over `message`; else false with *reason.
bool checkSignature(const PublisherKey& key, const std::string& message, const RawSignature& signature,
                    std::string* reason);
