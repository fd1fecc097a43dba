// Arbitrary bytes as a publisher's public key, a private key and a DER signature:
// each is refused with a reason, or read into values that, written out again, read
// back the same (and for DER, give the very input: DER has one form per value).
#include <cstdint>
#include <cstdlib>
#include <string>

#include "crypto/ecdsa_signature.h"
#include "crypto/private_key.h"
#include "crypto/publisher_key.h"

namespace {
void require(bool condition) {
  if (!condition) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const char* text = reinterpret_cast<const char*>(data);
  std::string reason;

  PublisherKey key, again;
  if (parsePublisherKeyPem(text, size, &key, &reason)) {
    const std::string pem = publisherKeyPem(key);
    require(parsePublisherKeyPem(pem.data(), pem.size(), &again, &reason) && again.point == key.point);
  } else {
    require(!reason.empty());
  }

  PrivateKey privateKey, privateAgain;
  reason.clear();
  if (parsePrivateKeyPem(text, size, &privateKey, &reason)) {
    const std::string pem = privateKeyPem(privateKey);
    require(parsePrivateKeyPem(pem.data(), pem.size(), &privateAgain, &reason));
    require(privateAgain.scalar == privateKey.scalar && privateAgain.publicKey.point == privateKey.publicKey.point);
  } else {
    require(!reason.empty());
  }

  RawSignature signature;
  reason.clear();
  if (derToRawSignature(data, size, &signature, &reason))
    require(rawToDerSignature(signature) == std::vector<uint8_t>(data, data + size));
  else
    require(!reason.empty());
  return 0;
}
