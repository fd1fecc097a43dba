#include "crypto/signed_manifest.h"

#include "crypto/signature_check.h"

bool checkSignedManifest(const PublisherKey& key, const std::string& signatureText, const std::string& product,
                         const void* manifest, size_t manifestLength, SignatureFile* parsed, std::string* reason) {
  if (!startsAsSignatureFile(signatureText.data(), signatureText.size())) {
    *reason = "The signature file downloadgi.sig is missing or not a signature file.";
    return false;
  }
  std::string why;
  if (!parseSignatureFile(signatureText.data(), signatureText.size(), parsed, &why)) {
    *reason = "The signature file downloadgi.sig is damaged: " + why + ".";
    return false;
  }
  if (!verifySignature(key, signatureText.data(), parsed->signedLength, parsed->signature, &why)) {
    *reason = "The signature file downloadgi.sig is not signed by the publisher: " + why + ".";
    return false;
  }
  if (parsed->product != product) {
    *reason = "The signature file downloadgi.sig is signed for another product (" + parsed->product + ").";
    return false;
  }
  if (sha256(manifest, manifestLength) != parsed->manifestSha256) {
    *reason = "The install manifest downloadgi.txt is not the one the publisher signed.";
    return false;
  }
  return true;
}
