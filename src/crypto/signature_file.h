// downloadgi.sig: the publisher's signature over a product's manifest and files.
//
// A text of lines, each ended by one LF (no CR anywhere), in this fixed order:
//
//   velmorin-signature 1                    the format and its version
//   product <name>                          the product's name (descriptor line 2)
//   serial <number>                         raised with every release (decimal, 0 to 2^64-1,
//                                           no sign, no leading zero)
//   manifest <sha256>                       SHA-256 of downloadgi.txt, byte for byte as served
//   file <sha256> <name>                    one line per file of the manifest, its name exactly
//   ...                                     as there; names strictly ascending byte by byte
//   signature <r || s>                      ECDSA P-256 over the SHA-256 of every byte above
//                                           this line, r and s as 32 bytes each
//
// Digests and the signature are lower-case hexadecimal (64 and 128 digits). A name
// is 1 to 255 bytes of anything but CR, LF and NUL, spaces included: it is the rest
// of its line after the single space that follows the digest. Nothing may follow the
// signature line. The whole file is at most kSignatureFileMaximum bytes, so a hostile
// server cannot make a reader hold more than that.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "crypto/ecdsa_signature.h"
#include "crypto/sha256.h"

constexpr size_t kSignatureFileMaximum = 32 * 1024 * 1024;
constexpr size_t kSignedNameMaximum = 255;

struct SignedFile {
  std::string name;
  Sha256Digest sha256{};
};

struct SignatureFile {
  std::string product;
  uint64_t serial = 0;
  Sha256Digest manifestSha256{};
  std::vector<SignedFile> files;  // ascending by name
  RawSignature signature{};
  size_t signedLength = 0;  // parsed: how many leading bytes of the text the signature covers
};

// Whether `text` begins with the format's word ("velmorin-signature "): whatever else
// came instead (a web server's page for a missing file, say) is no signature file.
bool startsAsSignatureFile(const char* text, size_t size);

// Takes a text in the form above only; false with *reason naming the line and what is
// wrong with it. The signature itself is not checked here (verifySignature is).
bool parseSignatureFile(const char* text, size_t size, SignatureFile* parsed, std::string* reason);

// The lines before the signature line: the bytes that get signed. `content.files`
// may come in any order; they are written sorted. False with *reason when a name or
// the product's name cannot be written in the format, or a name comes twice.
bool signedPartText(const SignatureFile& content, std::string* text, std::string* reason);

// The signature line that ends the file.
std::string signatureLine(const RawSignature& signature);

// A serial as the format writes it: decimal, 0 to 2^64-1, no sign, no leading zero.
bool parseSerialNumber(const std::string& text, uint64_t* serial);

// The entry of `name`, or nullptr.
const SignedFile* findSignedFile(const SignatureFile& parsed, const std::string& name);
