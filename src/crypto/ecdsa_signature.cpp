#include "crypto/ecdsa_signature.h"

#include <cstring>

#include "crypto/der_reader.h"

namespace {

// One of r and s into its 32 bytes.
bool readInteger(DerReader& fields, const char* name, uint8_t out[32], std::string* reason) {
  DerElement integer;
  if (!fields.read(der::kInteger, &integer) || integer.length == 0) {
    *reason = std::string("no integer ") + name;
    return false;
  }
  const uint8_t* bytes = integer.contents;
  size_t length = integer.length;
  if (bytes[0] & 0x80) {
    *reason = std::string(name) + " is negative";
    return false;
  }
  if (length > 1 && bytes[0] == 0 && !(bytes[1] & 0x80)) {
    *reason = std::string(name) + " has a needless leading zero";
    return false;
  }
  if (length > 1 && bytes[0] == 0) {
    ++bytes;
    --length;
  }
  if (length > 32) {
    *reason = std::string(name) + " is longer than 32 bytes";
    return false;
  }
  std::memset(out, 0, 32);
  std::memcpy(out + 32 - length, bytes, length);
  for (size_t i = 0; i < 32; ++i)
    if (out[i] != 0) return true;
  *reason = std::string(name) + " is zero";
  return false;
}

// The DER integer of a 32-byte big-endian number: leading zeros dropped, one put
// back when the top bit is set, so that it stays positive.
void appendInteger(std::vector<uint8_t>& der, const uint8_t* number) {
  size_t skip = 0;
  while (skip < 31 && number[skip] == 0) ++skip;
  const bool pad = number[skip] & 0x80;
  der.push_back(der::kInteger);
  der.push_back(static_cast<uint8_t>(32 - skip + pad));
  if (pad) der.push_back(0);
  der.insert(der.end(), number + skip, number + 32);
}

}  // namespace

bool derToRawSignature(const uint8_t* der, size_t size, RawSignature* raw, std::string* reason) {
  DerReader top(der, size);
  DerElement sequence;
  if (!top.read(der::kSequence, &sequence)) {
    *reason = "not a DER signature";
    return false;
  }
  if (!top.atEnd()) {
    *reason = "bytes after the signature";
    return false;
  }
  DerReader fields(sequence);
  if (!readInteger(fields, "r", raw->data(), reason) || !readInteger(fields, "s", raw->data() + 32, reason))
    return false;
  if (!fields.atEnd()) {
    *reason = "more than r and s in the signature";
    return false;
  }
  return true;
}

std::vector<uint8_t> rawToDerSignature(const RawSignature& raw) {
  std::vector<uint8_t> der = {der::kSequence, 0};
  der.reserve(72);
  appendInteger(der, raw.data());
  appendInteger(der, raw.data() + 32);
  der[1] = static_cast<uint8_t>(der.size() - 2);  // at most 70: the short form
  return der;
}
