#include "crypto/publisher_key.h"

#include <cstring>
#include <vector>

#include "crypto/der_reader.h"
#include "crypto/p256_oids.h"
#include "crypto/pem.h"

namespace {

// SubjectPublicKeyInfo ::= SEQUENCE { SEQUENCE { algorithm OID, curve OID }, BIT STRING }
bool readKeyInfo(const std::vector<uint8_t>& der, PublisherKey* key, std::string* reason) {
  DerReader top(der.data(), der.size());
  DerElement info, algorithm, algorithmId, curve, bits;
  if (!top.read(der::kSequence, &info)) {
    *reason = "not a SubjectPublicKeyInfo";
    return false;
  }
  if (!top.atEnd()) {
    *reason = "bytes after the key";
    return false;
  }
  DerReader fields(info);
  if (!fields.read(der::kSequence, &algorithm)) {
    *reason = "not a SubjectPublicKeyInfo";
    return false;
  }
  DerReader algorithmFields(algorithm);
  if (!algorithmFields.read(der::kObjectId, &algorithmId)) {
    *reason = "not a SubjectPublicKeyInfo";
    return false;
  }
  if (!algorithmId.holds(kEcPublicKeyOid, sizeof kEcPublicKeyOid)) {
    *reason = "not an elliptic-curve key (RSA, Ed25519 and others are not taken); an ECDSA P-256 key is wanted";
    return false;
  }
  if (!algorithmFields.read(der::kObjectId, &curve) || !algorithmFields.atEnd()) {
    *reason = "its curve is not named (explicit curve parameters are not taken); P-256 is wanted";
    return false;
  }
  if (!curve.holds(kCurveP256Oid, sizeof kCurveP256Oid)) {
    *reason = "an elliptic-curve key on another curve than P-256";
    return false;
  }
  if (!fields.read(der::kBitString, &bits) || !fields.atEnd()) {
    *reason = fields.atEnd() ? "no public key in it" : "bytes after the public key";
    return false;
  }
  // The bit string: no unused bits, then the point as 04 || X || Y.
  if (bits.length >= 2 && bits.contents[0] == 0 && (bits.contents[1] == 0x02 || bits.contents[1] == 0x03)) {
    *reason = "its point is compressed; the uncompressed form is wanted (openssl pkey -pubout writes it)";
    return false;
  }
  if (bits.length != 66 || bits.contents[0] != 0 || bits.contents[1] != 0x04) {
    *reason = "its point is not an uncompressed P-256 point of 65 bytes";
    return false;
  }
  std::memcpy(key->point.data(), bits.contents + 2, 64);
  return true;
}

}  // namespace

bool parsePublisherKeyPem(const char* text, size_t size, PublisherKey* key, std::string* reason) {
  if (size > kPublisherKeyPemMaximum) {
    *reason = "too long for a public key";
    return false;
  }
  const std::string pem(text, size);
  if (pem.find("PRIVATE KEY-----") != std::string::npos) {
    *reason = "it holds a private key; the public key is wanted (keep the private key to yourself)";
    return false;
  }
  std::vector<uint8_t> der;
  return readPem(pem, "PUBLIC KEY", &der, reason) && readKeyInfo(der, key, reason);
}

std::vector<uint8_t> publisherKeyDer(const PublisherKey& key) {
  std::vector<uint8_t> der = {der::kSequence, 0x59, der::kSequence, 0x13, der::kObjectId, sizeof kEcPublicKeyOid};
  der.insert(der.end(), kEcPublicKeyOid, kEcPublicKeyOid + sizeof kEcPublicKeyOid);
  der.insert(der.end(), {der::kObjectId, sizeof kCurveP256Oid});
  der.insert(der.end(), kCurveP256Oid, kCurveP256Oid + sizeof kCurveP256Oid);
  der.insert(der.end(), {der::kBitString, 0x42, 0x00, 0x04});
  der.insert(der.end(), key.point.begin(), key.point.end());
  return der;
}

std::string publisherKeyPem(const PublisherKey& key) { return writePem("PUBLIC KEY", publisherKeyDer(key)); }
